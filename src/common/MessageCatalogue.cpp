#include "common/MessageCatalogue.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "common/CodePageConversion.h"
#include "common/LineFile.h"

namespace kelvara {

namespace {

// The layout of a .qm file: a magic number, then blocks of (tag, 32-bit
// big-endian length, bytes). The messages block holds one record per
// message: fields of (tag, length, bytes) up to an end tag. lrelease writes
// the context and the source text of every message, which is what is
// matched here (Qt matches a hash of them).
constexpr unsigned char kMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                      0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
constexpr std::uint8_t kMessagesBlock = 0x69;
constexpr std::uint8_t kEnd = 1;
constexpr std::uint8_t kTranslation = 3; // UTF-16 big-endian
constexpr std::uint8_t kObsolete = 5;    // four bytes without a length
constexpr std::uint8_t kSourceText = 6;
constexpr std::uint8_t kContext = 7;
constexpr std::uint8_t kComment = 8;
constexpr std::uint32_t kNullText = 0xFFFFFFFF;

using Catalogue = std::unordered_map<std::string, std::string>;

Catalogue& Current() {
    static Catalogue catalogue;
    return catalogue;
}

std::atomic<unsigned> gGeneration{0};

std::string Key(std::string_view context, std::string_view source) {
    std::string key(context);
    key.push_back('\0');
    key.append(source);
    return key;
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool Done() const { return at_ == bytes_.size(); }
    bool Byte(std::uint8_t& out) {
        if (Done()) return false;
        out = static_cast<std::uint8_t>(bytes_[at_++]);
        return true;
    }
    bool Number(std::uint32_t& out) {
        if (bytes_.size() - at_ < 4) return false;
        out = 0;
        for (int i = 0; i < 4; ++i)
            out = out << 8 | static_cast<std::uint8_t>(bytes_[at_++]);
        return true;
    }
    bool Bytes(std::uint32_t length, std::string_view& out) {
        if (bytes_.size() - at_ < length) return false;
        out = bytes_.substr(at_, length);
        at_ += length;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

bool Utf16BigEndianToUtf8(std::string_view bytes, std::string& out) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) << 8 |
                                              static_cast<std::uint8_t>(bytes[i + 1])));
    return !EncodeText(units, CodePage::Utf8, out);
}

// One message record up to its end tag; a message without a translation of
// its own (or without context or source text) is left out.
bool ReadMessage(Reader& reader, Catalogue& out) {
    std::string_view context;
    std::string_view source;
    std::string translation;
    bool translated = false;
    for (;;) {
        std::uint8_t tag = 0;
        std::uint32_t length = 0;
        std::string_view bytes;
        if (!reader.Byte(tag)) return false;
        if (tag == kEnd) break;
        if (!reader.Number(length)) return false;
        if (tag == kObsolete) continue;
        if (tag == kTranslation && length == kNullText) continue;
        if (!reader.Bytes(length, bytes)) return false;
        if (tag == kTranslation) {
            // The first form counts; the others are plural forms.
            if (length % 2 != 0) return false;
            if (!translated && !Utf16BigEndianToUtf8(bytes, translation)) return false;
            translated = true;
        } else if (tag == kSourceText) {
            source = bytes;
        } else if (tag == kContext) {
            context = bytes;
        } else if (tag != kComment) {
            return false;
        }
    }
    if (translated && !source.empty() && !context.empty())
        out.insert_or_assign(Key(context, source), std::move(translation));
    return true;
}

bool ReadCatalogue(std::string_view bytes, Catalogue& out) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return false;
    Reader blocks(bytes.substr(sizeof kMagic));
    while (!blocks.Done()) {
        std::uint8_t tag = 0;
        std::uint32_t length = 0;
        std::string_view block;
        if (!blocks.Byte(tag) || !blocks.Number(length) || !blocks.Bytes(length, block))
            return false;
        if (tag != kMessagesBlock) continue;
        Reader messages(block);
        while (!messages.Done())
            if (!ReadMessage(messages, out)) return false;
    }
    return true;
}

} // namespace

FileStatus LoadMessageCatalogue(const std::string& path) {
    std::string bytes;
    if (FileStatus error = ReadFileBytes(path, bytes)) return error;
    Catalogue catalogue;
    if (!ReadCatalogue(bytes, catalogue))
        return FileError{path, std::string(Translate("kelvara::FileErrors", "不是翻译目录文件"))};
    Current() = std::move(catalogue);
    ++gGeneration;
    return std::nullopt;
}

void ClearMessageCatalogue() {
    Current().clear();
    ++gGeneration;
}

std::string_view Translate(const char* context, const char* source) {
    const Catalogue& catalogue = Current();
    if (catalogue.empty()) return source;
    const auto found = catalogue.find(Key(context, source));
    return found == catalogue.end() ? std::string_view(source) : std::string_view(found->second);
}

std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto number = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && number < args.size()) {
            out.append(args.begin()[number]);
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

unsigned CatalogueGeneration() noexcept { return gGeneration.load(); }

} // namespace kelvara
