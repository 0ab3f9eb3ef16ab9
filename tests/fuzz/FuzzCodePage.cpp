// Code page conversion: decoding any bytes and encoding them again gives the
// same bytes in either code page; text valid in one code page recodes into
// the other and back unchanged; a file's bytes read as text in their detected
// encoding and written back are the same bytes.
#include <string>

#include "common/CodePageConversion.h"
#include "common/FileEncoding.h"
#include "fuzz/FuzzInput.h"

using namespace kelvara;

namespace {

void CheckCodePage(std::string_view bytes, CodePage codePage) {
    std::size_t walked = 0;
    bool valid = true;
    while (walked < bytes.size()) {
        const DecodedChar decoded = DecodeCharAt(bytes, walked, codePage);
        fuzz::Require(decoded.length >= 1 && walked + decoded.length <= bytes.size(),
                      "a character lies within the text");
        valid &= !IsByteEscape(decoded.codePoint);
        walked += decoded.length;
    }
    if (codePage == CodePage::Utf8) {
        // Characters of the escape range itself (U+F780..U+F7FF) decode as
        // their bytes' escapes, so that they too encode back to those bytes.
        const bool escapeRange =
            bytes.find("\xEF\x9E") != bytes.npos || bytes.find("\xEF\x9F") != bytes.npos;
        fuzz::Require(valid == IsValidUtf8(bytes) || (!valid && escapeRange),
                      "valid UTF-8 decodes without escapes");
    }

    const std::u16string text = DecodeText(bytes, codePage);
    std::string encoded;
    fuzz::Require(!EncodeText(text, codePage, encoded), "decoded text encodes");
    fuzz::Require(encoded == bytes, "decoding and encoding give back every byte");

    if (!valid) return;
    const CodePage other = codePage == CodePage::Gbk ? CodePage::Utf8 : CodePage::Gbk;
    std::string recoded;
    if (RecodeText(bytes, codePage, other, recoded)) return; // a character `other` lacks
    std::string back;
    fuzz::Require(!RecodeText(recoded, other, codePage, back), "recoded text recodes back");
    fuzz::Require(back == bytes, "recoding there and back changes nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const unsigned bits = input.Byte();
    const std::string_view bytes = input.Rest();
    CheckCodePage(bytes, CodePage::Gbk);
    CheckCodePage(bytes, CodePage::Utf8);

    CodePageChoice choice;
    choice.fallback = (bits & 1) != 0 ? CodePage::Utf8 : CodePage::Gbk;
    if ((bits & 2) != 0) choice.forced = (bits & 4) != 0 ? CodePage::Utf8 : CodePage::Gbk;
    const FileEncoding encoding = DetectEncoding(bytes, choice);
    std::string decoded;
    std::string_view text;
    if (FileText(bytes, encoding, decoded, text)) {
        fuzz::Require(encoding.utf16 != Utf16Order::None, "only UTF-16 bytes can lack a text");
        return 0;
    }
    std::string written;
    fuzz::Require(!AppendFileBytes(text, encoding, written), "a file's text writes back");
    fuzz::Require(written == bytes, "a file read and written back keeps every byte");
    return 0;
}
