#include "common/LocaleCodePage.h"

#include <clocale>
#include <langinfo.h>

#include "common/AnsiString.h"

namespace kelvara {

CodePage CodePageOfCodeSet(std::string_view codeSet) {
    std::string name;
    for (const char c : codeSet) {
        if (c != '-' && c != '_') name.push_back(UpperByte(c));
    }
    const bool gbk = name == "GBK" || name == "GB2312" || name == "GB18030" || name == "CP936" ||
                     name == "EUCCN";
    return gbk ? CodePage::Gbk : CodePage::Utf8;
}

CodePage LocaleCodePage() {
    static const CodePage codePage = [] {
        setlocale(LC_CTYPE, "");
        return CodePageOfCodeSet(nl_langinfo(CODESET));
    }();
    return codePage;
}

CodePage CodePageOfSettings(const TIniFile& settings) {
    switch (settings.ReadInteger("options", "codepage", 0)) {
    case 936:
        return CodePage::Gbk;
    case 65001:
        return CodePage::Utf8;
    default:
        return LocaleCodePage();
    }
}

std::string TextToLocale(std::string_view text) {
    std::string out;
    RecodeLenient(text, TextCodePage(), LocaleCodePage(), out);
    return out;
}

} // namespace kelvara
