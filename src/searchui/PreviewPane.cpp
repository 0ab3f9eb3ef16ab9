#include "searchui/PreviewPane.h"

#include <QTextBlock>
#include <QTextCursor>

#include "searchui/UiText.h"

namespace kelvara {

namespace {

struct LineLook {
    const char* prefix;
    QColor line;
    QColor mark;
};

LineLook LookOf(const PreviewLine& line) {
    if (line.hunkHead) return {"", QColor(0xEE, 0xEE, 0xF6), QColor()};
    switch (line.kind) {
    case DiffLineKind::Removed:
        return {"- ", QColor(0xFF, 0xE8, 0xE8), QColor(0xF4, 0xA8, 0xA8)};
    case DiffLineKind::Added:
        return {"+ ", QColor(0xE6, 0xF8, 0xE6), QColor(0x9C, 0xE0, 0x9C)};
    case DiffLineKind::Context:
        break;
    }
    return {"  ", QColor(), QColor()};
}

// One line with its marked stretches, each piece converted on its own: the
// marks are byte positions of the line's code page, `codePage`.
void AppendLine(QTextCursor& cursor, const PreviewLine& line, CodePage codePage) {
    const LineLook look = LookOf(line);
    QTextBlockFormat block;
    if (look.line.isValid()) block.setBackground(look.line);
    // The document starts with an empty block: the first line takes it.
    if (cursor.document()->isEmpty())
        cursor.setBlockFormat(block);
    else
        cursor.insertBlock(block);
    QTextCharFormat plain;
    if (line.hunkHead) plain.setForeground(QColor(0x55, 0x55, 0x88));
    QTextCharFormat marked = plain;
    if (look.mark.isValid()) marked.setBackground(look.mark);
    cursor.insertText(QString::fromLatin1(look.prefix), plain);
    std::size_t done = 0;
    const std::string_view text(line.text);
    for (const Stretch& mark : line.marks) {
        const std::size_t start = std::min(mark.start, text.size());
        const std::size_t end = std::min(mark.End(), text.size());
        cursor.insertText(TextToQt(text.substr(done, start - done), codePage), plain);
        cursor.insertText(TextToQt(text.substr(start, end - start), codePage), marked);
        done = end;
    }
    cursor.insertText(TextToQt(text.substr(done), codePage), plain);
}

} // namespace

PreviewPane::PreviewPane(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setFont(WindowFont());
    setAccessibleName(tr("替换预览"));
    document()->setUndoRedoEnabled(false); // a view: nothing to take back
}

void PreviewPane::Show(const Preview& preview) {
    clear();
    QTextCursor cursor(document());
    // One layout for the whole preview, not one per piece inserted.
    cursor.beginEditBlock();
    if (!preview.note.empty()) {
        QTextCharFormat note;
        note.setFontItalic(true);
        cursor.insertText(QString::fromStdString(preview.note), note);
    }
    for (const PreviewLine& line : preview.lines)
        AppendLine(cursor, line, preview.codePage);
    cursor.endEditBlock();
    moveCursor(QTextCursor::Start);
}

} // namespace kelvara
