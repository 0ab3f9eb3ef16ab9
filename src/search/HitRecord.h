#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvara {

// A record holds its texts cut to this many bytes.
constexpr std::size_t kMaxRecordText = 255;

// What a node of the result tree stands for. File nodes have Line and Column 0;
// a replace without whole words records Column 0 too.
struct HitRecord {
    std::string FileName;
    std::int32_t Line = 0;
    std::int32_t Column = 0;
    std::string SearchText;
};

// The record fields handed to the tree, which keeps its own copies. The texts
// are kept whole (captions show them whole) and cut only when read back.
struct RecordFields {
    std::string_view FileName;
    std::int32_t Line = 0;
    std::int32_t Column = 0;
    std::string_view SearchText;
};

// `text` cut to its first kMaxRecordText bytes.
std::string_view RecordText(std::string_view text) noexcept;

HitRecord MakeHitRecord(const RecordFields& fields);

} // namespace kelvara
