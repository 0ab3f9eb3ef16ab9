#include "search/HitRecord.h"

namespace kelvara {

std::string_view RecordText(std::string_view text) noexcept {
    return text.substr(0, kMaxRecordText);
}

HitRecord MakeHitRecord(const RecordFields& fields) {
    return HitRecord{std::string(RecordText(fields.FileName)), fields.Line, fields.Column,
                     std::string(RecordText(fields.SearchText))};
}

} // namespace kelvara
