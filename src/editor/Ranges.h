#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/Containers.h"
#include "editor/EditorHost.h"

namespace kelvara {

class TMemoComponent;
class TMCRanges;

// A position as (row, column), both 1-based; columns count bytes.
struct TextPoint {
    int Row = 1;
    int Col = 1;
    bool operator==(const TextPoint&) const = default;
};

// A span of the editor's text, offsets RStart..REnd (1-based, inclusive; an
// empty range at P has end P-1). A range registered with the editor's
// container follows every edit; a temporary range (made without a container)
// is given its editor by its maker.
class TCustomRange : public TFastContainerItem {
public:
    explicit TCustomRange(TMCRanges* ranges);

    TMemoComponent* Editor() const noexcept { return editor_; }
    void SetEditor(TMemoComponent* editor) noexcept { editor_ = editor; }

    int RStart() const { return GetRStart(); }
    int REnd() const { return GetREnd(); }
    int RLength() const { return GetRLength(); }

    virtual void SetRStart(int value);
    virtual void SetREnd(int value);
    virtual void SetRLength(int value);
    virtual int GetRStart() const = 0;
    virtual int GetREnd() const = 0;
    virtual int GetRLength() const;
    virtual TextPoint GetEndPoint() const;
    virtual TextPoint GetStartPoint() const;
    virtual void SetEndPoint(TextPoint point);
    virtual void SetStartPoint(TextPoint point);
    virtual void SetText(std::string_view text);
    virtual std::string GetText() const;
    // Follows the replacement of offsets a..b by text that changed the length
    // by `delta`.
    virtual void AdjustForReplace(int a, int b, int delta);
    virtual void Clear();
    virtual void Repaint();
    virtual void ScrollIntoView(int margin);

    void BeginUpdate();
    void EndUpdate();
    void EndUpdateQuiet();
    int UpdateCount() const noexcept { return updateCount_; }

    // Copies RStart then REnd into `dest` inside one bracket of it.
    virtual void AssignTo(TCustomRange& dest) const;

    // Client pixel of the range's start or end, for the caret.
    TPoint GetStartPixel() const;
    TPoint GetEndPixel() const;

    std::function<void(TCustomRange&)> OnChange;
    std::function<void(TCustomRange&)> OnOverwrite;

protected:
    virtual void Changing() {}
    virtual void Changed();
    virtual void ChangeDropped() {}
    virtual void Overwritten();

    // The adjustment rule on plain values; true when the range was overwritten.
    static bool AdjustValues(int& start, int& end, int a, int b, int delta);

    TMemoComponent* editor_ = nullptr;

private:
    int updateCount_ = 0;
};

// A range that stores its own start and end, clamped to the text.
class TMCRange : public TCustomRange {
public:
    explicit TMCRange(TMCRanges* ranges) : TCustomRange(ranges) {}
    // A temporary range of `editor` covering start..end.
    TMCRange(TMemoComponent* editor, int start, int end);

    void SetRStart(int value) override;
    void SetREnd(int value) override;
    int GetRStart() const override { return start_; }
    int GetREnd() const override { return end_; }
    void AdjustForReplace(int a, int b, int delta) override;

private:
    int start_ = 1;
    int end_ = 0;
};

// Always the whole text, so replacing its text replaces everything.
class TWholeTextRange : public TCustomRange {
public:
    explicit TWholeTextRange(TMemoComponent* editor) : TCustomRange(nullptr) { editor_ = editor; }

    int GetRStart() const override { return 1; }
    int GetREnd() const override;
};

// The editor's registered ranges.
class TMCRanges : public TFastObjectContainer {
public:
    explicit TMCRanges(TMemoComponent* editor) : editor_(editor) {}

    TMemoComponent* Editor() const noexcept { return editor_; }
    TCustomRange* Range(int index) const { return static_cast<TCustomRange*>(Items(index)); }

private:
    TMemoComponent* editor_;
};

} // namespace kelvara
