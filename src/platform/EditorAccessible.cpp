#include "platform/EditorAccessible.h"

#include <QAccessible>

#include <algorithm>

#include "common/CodePage.h"
#include "common/CodePageConversion.h"
#include "platform/EditorWidget.h"

namespace kelvara {

namespace {

constexpr int kStride = 256; // characters between two marks

EditorAccessible::EventSink gEventSink = nullptr;

int UnitsOf(char32_t codePoint) { return codePoint >= 0x10000 ? 2 : 1; }

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("kelvara::EditorWidget") && object && object->isWidgetType())
        return new EditorAccessible(static_cast<EditorWidget*>(object));
    return nullptr;
}

} // namespace

EditorAccessible::EditorAccessible(EditorWidget* widget)
    : QAccessibleWidget(widget, QAccessible::EditableText) {}

void EditorAccessible::Install() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeAccessible);
        return true;
    }();
    (void)installed;
}

void EditorAccessible::SetEventSink(EventSink sink) { gEventSink = sink; }

bool EditorAccessible::EventsWanted() { return gEventSink != nullptr || QAccessible::isActive(); }

void EditorAccessible::Tell(QAccessibleEvent* event) {
    if (gEventSink != nullptr)
        gEventSink(event);
    else
        QAccessible::updateAccessibility(event);
}

EditorWidget& EditorAccessible::Widget() const { return *static_cast<EditorWidget*>(widget()); }

void* EditorAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State EditorAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !Widget().Editor().ReadOnly();
    state.readOnly = Widget().Editor().ReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString EditorAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) return text(0, characterCount());
    return QAccessibleWidget::text(kind);
}

// One walk over the text, noting where every kStride-th character starts.
void EditorAccessible::Map() const {
    const TMemoComponent& editor = Widget().Editor();
    const CodePage codePage = editor.GetCodePage();
    if (mapped_ && version_ == editor.TextVersion() && page_ == codePage) return;
    const std::string_view bytes = editor.TextView(1, editor.TextLength());
    marks_.clear();
    int units = 0;
    int count = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (count++ % kStride == 0) marks_.push_back({units, static_cast<int>(i)});
        const DecodedChar decoded = DecodeCharAt(bytes, i, codePage);
        units += UnitsOf(decoded.codePoint);
        i += decoded.length;
    }
    units_ = units;
    bytes_ = static_cast<int>(bytes.size());
    version_ = editor.TextVersion();
    page_ = codePage;
    mapped_ = true;
}

void EditorAccessible::Replaced(int start, int removed, int inserted) {
    const unsigned version = Widget().Editor().TextVersion();
    if (!mapped_ || version_ + 1 != version || !Remap(start, removed, inserted)) mapped_ = false;
    version_ = version;
}

// The marks before the edit stay. From the last of them the new text is
// walked, marking as Map() does, until a character starts where an old mark
// behind the edit now lies: from there on the characters are the old ones,
// and the old marks only move. False when that is not found near the edit
// (a byte that pairs the GBK bytes after it anew); the map is made anew then.
bool EditorAccessible::Remap(int start, int removed, int inserted) {
    const TMemoComponent& editor = Widget().Editor();
    const int delta = inserted - removed;
    const auto byByte = [](const Mark& mark, int byte) { return mark.Byte < byte; };
    const auto kept = std::lower_bound(marks_.begin(), marks_.end(), start, byByte);
    auto moved = std::lower_bound(kept, marks_.end(), start + removed, byByte);
    const Mark base = kept == marks_.begin() ? Mark{0, 0} : *std::prev(kept);
    const int length = editor.TextLength();
    const int end = std::min(length, start + inserted + 8 * kStride);
    const std::string_view bytes = editor.TextView(base.Byte + 1, end - base.Byte);
    const CodePage codePage = editor.GetCodePage();
    std::vector<Mark> walked;
    int units = base.Unit;
    int byte = base.Byte;
    for (int count = 0;; ++count) {
        if (byte >= start + inserted) {
            while (moved != marks_.end() && moved->Byte + delta < byte)
                ++moved;
            if (moved != marks_.end() && moved->Byte + delta == byte) break;
        }
        if (byte == length) break;
        // A character might go on past the bytes viewed.
        if (end < length && byte + 4 > end) return false;
        if (count % kStride == 0 && (count > 0 || kept == marks_.begin()))
            walked.push_back({units, byte});
        const DecodedChar decoded =
            DecodeCharAt(bytes, static_cast<std::size_t>(byte - base.Byte), codePage);
        units += UnitsOf(decoded.codePoint);
        byte += static_cast<int>(decoded.length);
    }
    const int unitDelta = moved != marks_.end() ? units - moved->Unit : units - units_;
    for (auto mark = moved; mark != marks_.end(); ++mark) {
        mark->Unit += unitDelta;
        mark->Byte += delta;
    }
    const auto tail = marks_.erase(kept, moved);
    marks_.insert(tail, walked.begin(), walked.end());
    units_ += unitDelta;
    bytes_ = length;
    return true;
}

int EditorAccessible::UnitOfByte(int byte) const {
    Map();
    if (byte >= bytes_) return units_;
    const auto after =
        std::upper_bound(marks_.begin(), marks_.end(), byte,
                         [](int value, const Mark& mark) { return value < mark.Byte; });
    if (after == marks_.begin()) return 0;
    const Mark& mark = *std::prev(after);
    const TMemoComponent& editor = Widget().Editor();
    const std::string_view bytes = editor.TextView(mark.Byte + 1, byte - mark.Byte);
    int units = mark.Unit;
    for (std::size_t i = 0; i < bytes.size();) {
        const DecodedChar decoded = DecodeCharAt(bytes, i, editor.GetCodePage());
        units += UnitsOf(decoded.codePoint);
        i += decoded.length;
    }
    return units;
}

int EditorAccessible::ByteOfUnit(int unit) const {
    Map();
    if (unit >= units_) return bytes_;
    if (unit <= 0) return 0;
    const auto after =
        std::upper_bound(marks_.begin(), marks_.end(), unit,
                         [](int value, const Mark& mark) { return value < mark.Unit; });
    const Mark& mark = *std::prev(after);
    const TMemoComponent& editor = Widget().Editor();
    // The unit lies before the next mark: only the bytes up to it are viewed
    // (a view of the rest of the text would move the editor's gap there).
    const int end = after == marks_.end() ? bytes_ : after->Byte;
    const std::string_view bytes = editor.TextView(mark.Byte + 1, end - mark.Byte);
    int units = mark.Unit;
    std::size_t i = 0;
    while (i < bytes.size() && units < unit) {
        const DecodedChar decoded = DecodeCharAt(bytes, i, editor.GetCodePage());
        units += UnitsOf(decoded.codePoint);
        i += decoded.length;
    }
    return mark.Byte + static_cast<int>(i);
}

void EditorAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    const TSelectionRange& selection = Widget().Editor().Selection();
    if (selectionIndex != 0 || selection.RLength() <= 0) return;
    *startOffset = UnitOfByte(selection.RStart() - 1);
    *endOffset = UnitOfByte(selection.REnd());
}

int EditorAccessible::selectionCount() const {
    return Widget().Editor().Selection().RLength() > 0 ? 1 : 0;
}

void EditorAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void EditorAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex != 0) return;
    TMemoComponent& editor = Widget().Editor();
    editor.SetSelStart(editor.Selection().CaretPos() - 1);
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0) return;
    TMemoComponent& editor = Widget().Editor();
    const int start = ByteOfUnit(std::min(startOffset, endOffset));
    const int end = ByteOfUnit(std::max(startOffset, endOffset));
    editor.SetSelStart(start);
    editor.SetSelLength(end - start);
}

int EditorAccessible::cursorPosition() const {
    return UnitOfByte(Widget().Editor().Selection().CaretPos() - 1);
}

void EditorAccessible::setCursorPosition(int position) {
    Widget().Editor().SetSelStart(ByteOfUnit(position));
}

QString EditorAccessible::text(int startOffset, int endOffset) const {
    const int start = ByteOfUnit(std::max(startOffset, 0));
    const int end = ByteOfUnit(std::max(endOffset, startOffset));
    const TMemoComponent& editor = Widget().Editor();
    const std::u16string units =
        DecodeText(editor.TextView(start + 1, end - start), editor.GetCodePage());
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

int EditorAccessible::characterCount() const {
    Map();
    return units_;
}

QRect EditorAccessible::characterRect(int offset) const {
    const TMemoComponent& editor = Widget().Editor();
    const int byte = ByteOfUnit(offset) + 1;
    const TMCRange character(const_cast<TMemoComponent*>(&editor), byte,
                             byte + std::max(editor.CharLengthAt(byte), 1) - 1);
    const TPoint start = character.GetStartPixel();
    const int columns = editor.DisplayColumn(editor.OffsetToPoint(byte + character.RLength())) -
                        editor.DisplayColumn(editor.OffsetToPoint(byte));
    const QRect local(start.X, start.Y, std::max(columns, 1) * editor.CharWidth(),
                      editor.LineHeight());
    return QRect(Widget().viewport()->mapToGlobal(local.topLeft()), local.size());
}

int EditorAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = Widget().viewport()->mapFromGlobal(point);
    const TMemoComponent& editor = Widget().Editor();
    // The cell under the point, not the nearest boundary as for a click.
    const int x = local.x() - editor.CharWidth() / 2;
    return UnitOfByte(editor.MouseOffset(x, local.y()) - 1);
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex) {
    setSelection(0, startIndex, endIndex);
    Widget().Editor().ScrollToCaret();
}

QString EditorAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return QString();
}

} // namespace kelvara
