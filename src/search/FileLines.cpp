#include "search/FileLines.h"

#include <algorithm>
#include <cstring>

#include "common/FileEncoding.h"
#include "common/MessageCatalogue.h"
#include "search/LineCursor.h"

namespace kelvara {

FileStatus FileLines::Read(const std::string& path) {
    text_ = {};
    if (FileStatus status = buffer_.Read(path)) return status;
    const std::span<char> bytes = buffer_.Bytes();
    const std::string_view raw(bytes.data(), bytes.size());
    // The text the run matched: after a byte-order mark, a UTF-16 file decoded.
    const FileEncoding encoding = EncodingOfBom(raw).value_or(PlainEncoding(CodePage::Utf8));
    if (const auto bad = FileText(raw, encoding, decoded_, text_)) {
        return FileError{
            path, FormatMessage(Translate("kelvara::FileMatch", "不是有效的 %1（第 %2 字节）"),
                                {EncodingName(encoding), std::to_string(*bad + 1)})};
    }
    if (const void* nul = std::memchr(text_.data(), '\0', text_.size()))
        text_ = text_.substr(0, static_cast<const char*>(nul) - text_.data());
    return std::nullopt;
}

void FileLines::Visit(std::span<const std::int32_t> hitLines, int before, int after,
                      const std::function<void(const FileLine& line, bool isHit)>& take,
                      const std::function<void()>& groupEnd) const {
    if (hitLines.empty() || text_.empty()) return;
    LineCursor cursor(text_);
    std::size_t next = 0;          // the first hit line not shown yet
    std::int32_t lastShown = 0;    // 0: none yet
    std::int64_t contextUntil = 0; // the last line of the context after a hit
    for (;;) {
        const std::int32_t number = cursor.Number();
        const bool isHit = next < hitLines.size() && number == hitLines[next];
        if (isHit || number <= contextUntil ||
            (next < hitLines.size() && number >= std::int64_t{hitLines[next]} - before)) {
            if (lastShown > 0 && number > lastShown + 1) groupEnd();
            const std::string_view text = cursor.Line();
            const std::size_t end = cursor.Start() + text.size();
            const std::size_t breakLength =
                end == text_.size() ? 0 : (text_.substr(end, 2) == "\r\n" ? 2 : 1);
            take({number, cursor.Start(), text, text_.substr(end, breakLength)}, isHit);
            lastShown = number;
            if (isHit) contextUntil = std::max(contextUntil, std::int64_t{number} + after);
            while (next < hitLines.size() && hitLines[next] <= number)
                ++next;
        }
        if ((next == hitLines.size() && number >= contextUntil) || !cursor.NextLine()) break;
    }
    if (lastShown > 0) groupEnd();
}

} // namespace kelvara
