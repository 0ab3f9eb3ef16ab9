#pragma once

#include "editor/Strings.h"

namespace kelvara {

class TMemoComponent;

// The editor's text seen as a list of lines (index 0 is row 1). Every change
// goes through the editor's replacement, so it is undoable.
class TMemoComponentStrings : public TStrings {
public:
    explicit TMemoComponentStrings(TMemoComponent* editor) : editor_(editor) {}

    std::string Get(int index) const override;
    int GetCount() const override;
    void Put(int index, std::string_view s) override;
    void Insert(int index, std::string_view s) override;
    void Delete(int index) override;
    void Clear() override;
    // The text as stored: no break is added after the last row.
    std::string GetTextStr() const override;
    void SetTextStr(std::string_view text) override;

private:
    TMemoComponent* editor_;
};

} // namespace kelvara
