#pragma once

#include <string>
#include <string_view>

namespace kelvara {

// A list of text lines, the base of the editor's line view. A descendant
// supplies storage through the virtual operations; the rest is built on them.
class TStrings {
public:
    virtual ~TStrings() = default;

    virtual std::string Get(int index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Put(int index, std::string_view s);
    virtual void Insert(int index, std::string_view s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Every line followed by CR LF.
    virtual std::string GetTextStr() const;
    // Clears the list and adds the lines of `text`, split at CR LF, CR or LF;
    // a break at the very end adds no empty line.
    virtual void SetTextStr(std::string_view text);

    int Count() const { return GetCount(); }
    std::string operator[](int index) const { return Get(index); }
    int Add(std::string_view s);
    std::string Text() const { return GetTextStr(); }
    void SetText(std::string_view text) { SetTextStr(text); }
    // Clears this list and adds every line of `source`.
    void Assign(const TStrings& source);
    // Index of the first line equal to `s` ignoring ASCII letter case, or -1.
    int IndexOf(std::string_view s) const;
};

} // namespace kelvara
