#pragma once

#include <string>
#include <string_view>

#include "common/FileEncoding.h"
#include "common/FileError.h"
#include "common/FileIdentity.h"
#include "common/FileRewrite.h"

namespace kelvara {

// Hands the new content of a file to its rewrite in the file's encoding: the
// byte-order mark first, then the text, a UTF-16 file's text encoded back
// piece by piece. The pieces must hold whole characters (a replace cuts them
// at line starts and around its stretches).
class EncodedRewrite {
public:
    // `scratch` holds a piece of a UTF-16 file's content; its capacity is reused.
    EncodedRewrite(const std::string& path, const FileEncoding& encoding, FileRewrite& rewrite,
                   std::string& scratch)
        : path_(path), encoding_(encoding), rewrite_(rewrite), scratch_(scratch) {}

    [[nodiscard]] FileStatus Begin(const FileIdentity& identity);
    [[nodiscard]] FileStatus Append(std::string_view text);

private:
    const std::string& path_;
    const FileEncoding& encoding_;
    FileRewrite& rewrite_;
    std::string& scratch_;
};

} // namespace kelvara
