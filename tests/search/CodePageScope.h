#pragma once

#include "common/CodePage.h"

namespace kelvara {

// Sets the text code page for one test and puts the previous one back.
class CodePageScope {
public:
    explicit CodePageScope(CodePage codePage) : previous_(TextCodePage()) {
        SetTextCodePage(codePage);
    }
    ~CodePageScope() { SetTextCodePage(previous_); }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;

private:
    CodePage previous_;
};

} // namespace kelvara
