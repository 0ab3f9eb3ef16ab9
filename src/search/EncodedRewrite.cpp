#include "search/EncodedRewrite.h"

namespace kelvara {

FileStatus EncodedRewrite::Begin(const FileIdentity& identity) {
    if (FileStatus error = rewrite_.Begin(path_, identity)) return error;
    return rewrite_.Append(BomBytes(encoding_));
}

FileStatus EncodedRewrite::Append(std::string_view text) {
    if (encoding_.utf16 == Utf16Order::None) return rewrite_.Append(text);
    scratch_.clear();
    // A UTF-16 file's text and the replacement written into it are checked to
    // be UTF-8 before a rewrite begins.
    if (AppendUtf16(text, encoding_.utf16, scratch_))
        return FileError{path_, "the new text is not UTF-8 and cannot be written as UTF-16"};
    return rewrite_.Append(scratch_);
}

} // namespace kelvara
