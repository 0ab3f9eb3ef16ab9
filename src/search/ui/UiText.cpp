#include "search/ui/UiText.h"

#include <QFontDatabase>

namespace kelvara {

std::optional<UnencodableChar> QStringToText(const QString& text, std::string& out) {
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size()));
    std::string bytes;
    if (auto bad = EncodeText(units, TextCodePage(), bytes)) return bad;
    out = std::move(bytes);
    return std::nullopt;
}

QFont WindowFont() {
    static const QFont font = [] {
        const QString family = QStringLiteral("Noto Sans Mono CJK SC");
        QFont chosen = QFontDatabase::hasFamily(family)
                           ? QFont(family)
                           : QFontDatabase::systemFont(QFontDatabase::FixedFont);
        chosen.setPixelSize(12);
        return chosen;
    }();
    return font;
}

} // namespace kelvara
