#include "app/SearchCommands.h"

#include "common/AskUser.h"
#include "common/CodePageConversion.h"

namespace kelvara {

namespace {

// Until the search windows are built in, the commands say so.
class MissingSearchCommands : public SearchCommands {
public:
    void BatchFindReplace(DocumentFrame&) override { Tell(); }
    void FindCurrent(DocumentFrame&, DocumentWindow&) override { Tell(); }
    void ReplaceCurrent(DocumentFrame&, DocumentWindow&) override { Tell(); }

private:
    static void Tell() { AskUser(TextFromUtf8("这个功能还没有做好"), "Kelvara", 0); }
};

} // namespace

std::unique_ptr<SearchCommands> MakeSearchCommands() {
    return std::make_unique<MissingSearchCommands>();
}

} // namespace kelvara
