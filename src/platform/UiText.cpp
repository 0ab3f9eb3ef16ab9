#include "platform/UiText.h"

#include <QFile>

#include "common/CodePageConversion.h"
#include "common/LocaleCodePage.h"
#include "common/PathHelpers.h"

namespace kelvara {

QString TextToQt(std::string_view text) {
    const std::u16string unicode = DecodeText(text, TextCodePage());
    return QString(reinterpret_cast<const QChar*>(unicode.data()),
                   static_cast<qsizetype>(unicode.size()));
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

QString FileNameToQt(std::string_view path) { return PathToQt(FileNameOfPath(path)); }

} // namespace kelvara
