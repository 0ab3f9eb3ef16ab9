#include "search/JournalRecord.h"

#include <cstring>

namespace kelvara {

namespace {

constexpr std::string_view kMagic = "KJR1";
constexpr std::size_t kHeadSize = kMagic.size() + 1 + 4;
constexpr std::size_t kDigestSize = sizeof(ContentDigest::bytes);

void AppendLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t ReadLittleEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

ContentDigest RecordDigest(char type, std::string_view fields) {
    ContentHash hash;
    hash.Add(std::string_view(&type, 1));
    hash.Add(fields);
    return hash.Digest();
}

} // namespace

JournalRecordBuilder& JournalRecordBuilder::U32(std::uint32_t value) {
    AppendLittleEndian(fields_, value, 4);
    return *this;
}

JournalRecordBuilder& JournalRecordBuilder::U64(std::uint64_t value) {
    AppendLittleEndian(fields_, value, 8);
    return *this;
}

JournalRecordBuilder& JournalRecordBuilder::Text(std::string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    fields_.append(text);
    return *this;
}

JournalRecordBuilder& JournalRecordBuilder::Digest(const ContentDigest& digest) {
    fields_.append(reinterpret_cast<const char*>(digest.bytes.data()), digest.bytes.size());
    return *this;
}

std::string JournalRecordBuilder::Finish() const {
    std::string record(kMagic);
    record += static_cast<char>(type_);
    AppendLittleEndian(record, fields_.size(), 4);
    record += fields_;
    const ContentDigest digest = RecordDigest(static_cast<char>(type_), fields_);
    record.append(reinterpret_cast<const char*>(digest.bytes.data()), digest.bytes.size());
    return record;
}

bool JournalFieldReader::Take(std::size_t size, std::string_view& bytes) {
    if (fields_.size() < size) return false;
    bytes = fields_.substr(0, size);
    fields_.remove_prefix(size);
    return true;
}

bool JournalFieldReader::U32(std::uint32_t& value) {
    std::string_view bytes;
    if (!Take(4, bytes)) return false;
    value = static_cast<std::uint32_t>(ReadLittleEndian(bytes));
    return true;
}

bool JournalFieldReader::U64(std::uint64_t& value) {
    std::string_view bytes;
    if (!Take(8, bytes)) return false;
    value = ReadLittleEndian(bytes);
    return true;
}

bool JournalFieldReader::I64(std::int64_t& value) {
    std::uint64_t bits = 0;
    if (!U64(bits)) return false;
    value = static_cast<std::int64_t>(bits);
    return true;
}

bool JournalFieldReader::Text(std::string& text) {
    std::uint32_t size = 0;
    std::string_view bytes;
    if (!U32(size) || !Take(size, bytes)) return false;
    text.assign(bytes);
    return true;
}

bool JournalFieldReader::Digest(ContentDigest& digest) {
    std::string_view bytes;
    if (!Take(kDigestSize, bytes)) return false;
    std::memcpy(digest.bytes.data(), bytes.data(), kDigestSize);
    return true;
}

std::optional<JournalRecord> NextJournalRecord(std::string_view index, std::size_t& offset,
                                               bool& damaged) {
    damaged = false;
    if (offset >= index.size()) return std::nullopt;
    const std::string_view rest = index.substr(offset);
    damaged = true;
    if (rest.size() < kHeadSize || rest.substr(0, kMagic.size()) != kMagic) return std::nullopt;
    const char type = rest[kMagic.size()];
    const std::uint64_t size = ReadLittleEndian(rest.substr(kMagic.size() + 1, 4));
    if (rest.size() - kHeadSize < size + kDigestSize) return std::nullopt;
    const std::string_view fields = rest.substr(kHeadSize, size);
    ContentDigest digest;
    std::memcpy(digest.bytes.data(), rest.data() + kHeadSize + size, kDigestSize);
    if (digest != RecordDigest(type, fields)) return std::nullopt;
    damaged = false;
    offset += kHeadSize + size + kDigestSize;
    return JournalRecord{static_cast<JournalRecordType>(type), fields};
}

} // namespace kelvara
