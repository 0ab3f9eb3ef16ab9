#pragma once

#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/CodePage.h"
#include "editor/EditorHost.h"
#include "syntax/SyntaxColors.h"
#include "syntax/SyntaxItems.h"
#include "syntax/SyntaxStyle.h"

namespace kelvara {

class TWordLists;
class TSyntaxColoring;

// A list of words drawn in a colour and style of their own. The words are kept
// sorted by the ASCII letter-case fold (which leaves the bytes of longer
// characters alone, by the code page of the owning editor's text); entries
// equal under the fold keep the most recently added first. Every change
// reaches the settings object, which re-colours the text.
class TWordList : public TSyntaxStyle {
public:
    explicit TWordList(TWordLists* collection = nullptr)
        : TSyntaxStyle(clBlue), collection_(collection) {}

    TWordLists* Collection() const noexcept { return collection_; }

    virtual void SetCaption(const std::string& value);
    std::string GetDisplayName() const { return caption_.empty() ? "TWordList" : caption_; }
    bool CaseSensitive() const noexcept { return caseSensitive_; }
    void SetCaseSensitive(bool value) { Store(caseSensitive_, value); }

    const std::vector<std::string>& Words() const noexcept { return words_; }
    void SetWords(const std::vector<std::string>& words);
    void AddWord(std::string_view word);
    void ClearWords();
    // Sorts the words again, after the code page of the text changed.
    void SortWords();

    // True when the token is one of the words: in any letter case when the
    // list ignores case, else exactly as the first entry equal to it under the
    // fold is written.
    bool ContainsWord(std::string_view word) const;
    // Longest word: a longer token needs no look-up.
    std::size_t MaxWordLength() const noexcept { return maxLength_; }

    void Assign(const TWordList& source);
    void NotifyChanged() override;

private:
    CodePage WordCodePage() const;
    void InsertSorted(std::string_view word);
    void Reindex() const;

    TWordLists* collection_;
    bool caseSensitive_ = true;
    std::vector<std::string> words_;
    // Folded word -> index of the first entry equal to it under the fold;
    // rebuilt on the first look-up after a change.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept {
            return std::hash<std::string_view>()(key);
        }
    };
    mutable std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> index_;
    // Folded first bytes and lengths of the words: most tokens fail these.
    mutable std::bitset<256> firstBytes_;
    mutable std::uint64_t lengths_ = 0;
    mutable bool indexed_ = true;
    mutable CodePage indexPage_ = CodePage::Utf8; // the fold of the index
    std::size_t maxLength_ = 0;
};

// The word lists of a settings object, searched in order.
class TWordLists : public TSyntaxItems<TWordList, TWordLists> {
public:
    explicit TWordLists(TSyntaxColoring* owner = nullptr) : TSyntaxItems(owner) {}

    // The first list holding the word, or null; `index` receives its position.
    const TWordList* FindWordList(std::string_view word, int* index = nullptr) const;

    // A changed item, or the collection itself when `item` is null.
    using TSyntaxItems::Update;
    void Update(TWordList* item);
};

} // namespace kelvara
