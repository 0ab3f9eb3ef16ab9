#pragma once

#include <QIcon>
#include <QImage>

namespace kelvara {

// Kelvara's icon, drawn rather than loaded, so it needs no image plugin: two
// sheets of text and a magnifier (the same picture as data/kelvara.svg).
QImage AppIconImage(int size);
QIcon AppIcon();

} // namespace kelvara
