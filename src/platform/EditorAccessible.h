#pragma once

#include <QAccessibleTextInterface>
#include <QAccessibleWidget>

#include <string_view>
#include <vector>

#include "common/CodePage.h"

namespace kelvara {

class EditorWidget;

// What screen readers and UI-test tools see of the editor widget: an
// editable multi-line text with its caret and selection. Offsets are those of
// the Unicode text (UTF-16 code units), mapped to the editor's byte offsets
// through checkpoints every few hundred characters.
class EditorAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit EditorAccessible(EditorWidget* widget);

    // Makes Qt use this interface for every editor widget.
    static void Install();
    // Editor widgets tell of caret moves and text changes when a screen
    // reader listens, or to a sink of their events that a test installs
    // (nullptr: the screen reader again).
    using EventSink = void (*)(QAccessibleEvent* event);
    static void SetEventSink(EventSink sink);
    static bool EventsWanted();
    static void Tell(QAccessibleEvent* event);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Unicode offset of a 0-based byte offset, and back.
    int UnitOfByte(int byte) const;
    int ByteOfUnit(int unit) const;
    // Follows an edit made right now: `removed` bytes from byte `start`
    // (0-based) became `inserted` bytes. Only the characters near it are
    // walked again; a map of an older text is left to be made anew.
    void Replaced(int start, int removed, int inserted);

private:
    struct Mark {
        int Unit;
        int Byte;
    };
    EditorWidget& Widget() const;
    void Map() const;
    bool Remap(int start, int removed, int inserted);

    mutable bool mapped_ = false;
    mutable unsigned version_ = 0;           // of the text mapped
    mutable CodePage page_ = CodePage::Utf8; // that the text was mapped in
    mutable std::vector<Mark> marks_;        // every kStride characters
    mutable int units_ = 0;
    mutable int bytes_ = 0;
};

} // namespace kelvara
