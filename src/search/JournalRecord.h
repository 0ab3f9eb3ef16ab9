#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/ContentHash.h"

// The records of a replace journal's index. Each record is "KJR1", its type
// (one letter), the length of its fields (4 bytes), the fields, and the
// digest of type and fields (16 bytes): a record cut short by a killed run,
// or damaged later, is told from a whole one. Numbers are little-endian.
namespace kelvara {

enum class JournalRecordType : char {
    Header = 'H',  // what the run was
    File = 'F',    // a file's old content is saved; it is about to be rewritten
    Written = 'W', // that file was rewritten
    End = 'E',     // the run ended
};

// Builds one record field by field.
class JournalRecordBuilder {
public:
    explicit JournalRecordBuilder(JournalRecordType type) : type_(type) {}
    JournalRecordBuilder& U32(std::uint32_t value);
    JournalRecordBuilder& U64(std::uint64_t value);
    JournalRecordBuilder& Text(std::string_view text); // its length, then its bytes
    JournalRecordBuilder& Digest(const ContentDigest& digest);
    // The whole record, ready to append.
    std::string Finish() const;

private:
    JournalRecordType type_;
    std::string fields_;
};

// Reads the fields of one record in the order they were built; each read
// fails (false) when the record has too few bytes left.
class JournalFieldReader {
public:
    explicit JournalFieldReader(std::string_view fields) : fields_(fields) {}
    bool U32(std::uint32_t& value);
    bool U64(std::uint64_t& value);
    bool I64(std::int64_t& value);
    bool Text(std::string& text);
    bool Digest(ContentDigest& digest);
    // No field is left (a record of an older Kelvara lacks the newer ones).
    bool AtEnd() const noexcept { return fields_.empty(); }

private:
    bool Take(std::size_t size, std::string_view& bytes);
    std::string_view fields_;
};

struct JournalRecord {
    JournalRecordType type;
    std::string_view fields;
};

// The record at `offset` of an index, moving `offset` past it. Empty at the
// end of the index, and when the bytes there are not a whole record (then
// `offset` stays and `damaged` is set).
std::optional<JournalRecord> NextJournalRecord(std::string_view index, std::size_t& offset,
                                               bool& damaged);

} // namespace kelvara
