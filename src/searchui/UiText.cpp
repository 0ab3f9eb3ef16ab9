#include "searchui/UiText.h"

namespace kelvara {

QFont WindowFont() {
    static const QFont font = [] {
        QFont chosen(MonospaceCjkFamily());
        chosen.setPixelSize(12);
        return chosen;
    }();
    return font;
}

} // namespace kelvara
