#pragma once

#include <memory>

#include "searchui/DocumentFrame.h"

// The frame's commands that belong to the search windows: "批量查找替换",
// "查找当前" and "替换当前" call into this interface, which the search side
// implements in MakeSearchCommands().
namespace kelvara {

class SearchCommands {
public:
    virtual ~SearchCommands() = default;

    // "批量查找替换": a new batch window each time, not modal.
    virtual void BatchFindReplace(DocumentFrame& frame) = 0;
    // "查找当前" / "替换当前" on the active document window.
    virtual void FindCurrent(DocumentFrame& frame, DocumentWindow& document) = 0;
    virtual void ReplaceCurrent(DocumentFrame& frame, DocumentWindow& document) = 0;
    // The frame is closing: the search windows save their settings.
    virtual void FrameClosing() {}
};

// The implementation the frame starts with.
std::unique_ptr<SearchCommands> MakeSearchCommands();

} // namespace kelvara
