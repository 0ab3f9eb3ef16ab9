#include "syntax/WordList.h"

#include <algorithm>

#include "common/AnsiString.h"
#include "common/TextCompare.h"
#include "syntax/SyntaxColoring.h"

namespace kelvara {

namespace {

// The key of a word under the fold: single-byte letters lower-cased.
void FoldInto(std::string_view word, CodePage codePage, char* key) {
    for (std::size_t i = 0; i < word.size();) {
        const std::size_t length = CharLength(word, i, codePage);
        key[i] = length == 1 ? LowerByte(word[i]) : word[i];
        for (std::size_t k = 1; k < length; ++k)
            key[i + k] = word[i + k];
        i += length;
    }
}

std::string FoldedKey(std::string_view word, CodePage codePage) {
    std::string key(word.size(), '\0');
    FoldInto(word, codePage, key.data());
    return key;
}

std::uint64_t LengthBit(std::size_t length) {
    return std::uint64_t{1} << std::min<std::size_t>(length, 63);
}

} // namespace

void TWordList::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    if (collection_) collection_->Update(this);
}

CodePage TWordList::WordCodePage() const {
    const TSyntaxColoring* settings = collection_ ? collection_->GetOwner() : nullptr;
    return settings ? settings->GetCodePage() : TextCodePage();
}

void TWordList::InsertSorted(std::string_view word) {
    const CodePage codePage = WordCodePage();
    const auto at = std::lower_bound(words_.begin(), words_.end(), word,
                                     [codePage](const std::string& entry, std::string_view w) {
                                         return CompareTextFolded(entry, w, codePage) < 0;
                                     });
    words_.insert(at, std::string(word));
    maxLength_ = std::max(maxLength_, word.size());
    indexed_ = false;
}

// Sorted in one go, not inserted one by one (a list of a million words would
// take hours): reversed first, so that among words equal under the fold the
// last one given comes first, as AddWord would have put it.
void TWordList::SetWords(const std::vector<std::string>& words) {
    words_.assign(words.rbegin(), words.rend());
    SortWords();
    maxLength_ = 0;
    for (const std::string& word : words_)
        maxLength_ = std::max(maxLength_, word.size());
    indexed_ = false;
    NotifyChanged();
}

void TWordList::SortWords() {
    const CodePage codePage = WordCodePage();
    std::stable_sort(words_.begin(), words_.end(),
                     [codePage](const std::string& a, const std::string& b) {
                         return CompareTextFolded(a, b, codePage) < 0;
                     });
    indexed_ = false;
}

void TWordList::AddWord(std::string_view word) {
    InsertSorted(word);
    NotifyChanged();
}

void TWordList::ClearWords() {
    words_.clear();
    maxLength_ = 0;
    indexed_ = false;
    NotifyChanged();
}

void TWordList::Reindex() const {
    index_.clear();
    firstBytes_.reset();
    lengths_ = 0;
    indexPage_ = WordCodePage();
    for (std::size_t i = 0; i < words_.size(); ++i) {
        std::string key = FoldedKey(words_[i], indexPage_);
        if (!key.empty()) firstBytes_.set(static_cast<unsigned char>(key[0]));
        lengths_ |= LengthBit(key.size());
        index_.emplace(std::move(key), i);
    }
    indexed_ = true;
}

bool TWordList::ContainsWord(std::string_view word) const {
    if (word.size() > maxLength_ || words_.empty()) return false;
    if (!indexed_) Reindex();
    if (!(lengths_ & LengthBit(word.size()))) return false;
    if (!word.empty() && !firstBytes_[static_cast<unsigned char>(LowerByte(word[0]))]) return false;
    char buffer[64];
    std::string folded;
    char* key = buffer;
    if (word.size() > sizeof buffer) {
        folded.resize(word.size());
        key = folded.data();
    }
    FoldInto(word, indexPage_, key);
    const auto found = index_.find(std::string_view(key, word.size()));
    if (found == index_.end()) return false;
    return !caseSensitive_ || words_[found->second] == word;
}

void TWordList::Assign(const TWordList& source) {
    if (&source == this) return;
    AssignStyle(source);
    caseSensitive_ = source.caseSensitive_;
    words_ = source.words_;
    maxLength_ = source.maxLength_;
    indexed_ = false;
    NotifyChanged();
}

void TWordList::NotifyChanged() {
    if (collection_) collection_->Update();
}

const TWordList* TWordLists::FindWordList(std::string_view word, int* index) const {
    return FindFirst([&](const TWordList& list) { return list.ContainsWord(word); }, index);
}

void TWordLists::Update(TWordList* item) {
    if (item)
        item->NotifyChanged();
    else
        Update();
}

} // namespace kelvara
