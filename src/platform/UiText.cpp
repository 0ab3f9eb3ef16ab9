#include "platform/UiText.h"

#include <QFile>
#include <QFontDatabase>

#include "common/CodePageConversion.h"
#include "common/LocaleCodePage.h"
#include "common/MessageCatalogue.h"
#include "common/PathHelpers.h"

namespace kelvara {

QString TextToQt(std::string_view text) { return TextToQt(text, TextCodePage()); }

QString TextToQt(std::string_view text, CodePage codePage) {
    const std::u16string unicode = DecodeText(text, codePage);
    return QString(reinterpret_cast<const QChar*>(unicode.data()),
                   static_cast<qsizetype>(unicode.size()));
}

std::optional<UnencodableChar> TextFromQt(const QString& text, std::string& out) {
    return TextFromQt(text, TextCodePage(), out);
}

std::optional<UnencodableChar> TextFromQt(const QString& text, CodePage codePage,
                                          std::string& out) {
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size()));
    std::string bytes;
    if (auto bad = EncodeText(units, codePage, bytes)) return bad;
    out = std::move(bytes);
    return std::nullopt;
}

const QString& MonospaceCjkFamily() {
    static const QString family = [] {
        for (const char* name : {"Noto Sans Mono CJK SC", "Noto Sans Mono CJK TC",
                                 "Noto Sans Mono CJK JP", "Noto Sans Mono CJK KR"}) {
            if (QFontDatabase::hasFamily(QLatin1String(name))) return QString::fromLatin1(name);
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return family;
}

QString PathToQt(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQt(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string PathInText(std::string_view path) {
    std::string out;
    RecodeLenient(path, LocaleCodePage(), TextCodePage(), out);
    return out;
}

std::string MessageText(const QString& message, std::initializer_list<std::string_view> args) {
    return FormatMessage(TextFromUtf8(message.toStdString()), args);
}

QString FileNameToQt(std::string_view path) { return PathToQt(FileNameOfPath(path)); }

} // namespace kelvara
