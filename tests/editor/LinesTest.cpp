#include <gtest/gtest.h>

#include "FakeHost.h"

namespace kelvara {
namespace {

using test::RecordingEditor;

TEST(Lines, NewEditorIsEmptyWithOneRow) {
    RecordingEditor editor;
    EXPECT_EQ(editor.TextLength(), 0);
    EXPECT_EQ(editor.LineCount(), 1);
    EXPECT_EQ(editor.Lines().Count(), 0);
    EXPECT_EQ(editor.Selection().RStart(), 1);
    EXPECT_EQ(editor.Selection().RLength(), 0);
    EXPECT_EQ(editor.CheckInvariants(), "");
}

TEST(Lines, TextIsStoredWithCrLfAndReadBackUnchanged) {
    RecordingEditor editor;
    editor.Lines().SetText("a\nb");
    EXPECT_EQ(editor.Text(), "a\r\nb");
    EXPECT_EQ(editor.LineCount(), 2);
    EXPECT_EQ(editor.Lines()[1], "b");
    EXPECT_EQ(editor.Lines().Text(), "a\r\nb");

    editor.Lines().SetText("x\r\n");
    EXPECT_EQ(editor.Lines().Count(), editor.LineCount());
    EXPECT_EQ(editor.Lines().Count(), 2);
    EXPECT_EQ(editor.Lines()[1], "");
    EXPECT_EQ(editor.CheckInvariants(), "");
}

TEST(Lines, AddInsertPutAndDeleteEditRows) {
    RecordingEditor editor;
    editor.Lines().Add("x");
    EXPECT_EQ(editor.Text(), "x");
    editor.Lines().Add("y");
    EXPECT_EQ(editor.Text(), "x\r\ny");
    EXPECT_EQ(editor.UndoRecords().Count(), 1); // consecutive appends merge
    editor.Lines().Insert(0, "z");
    EXPECT_EQ(editor.Text(), "z\r\nx\r\ny");
    editor.Lines().Put(1, "long");
    EXPECT_EQ(editor.Text(), "z\r\nlong\r\ny");
    editor.Lines().Delete(2);
    EXPECT_EQ(editor.Text(), "z\r\nlong");
    editor.Lines().Delete(0);
    EXPECT_EQ(editor.Text(), "long");
    editor.Lines().Delete(0);
    EXPECT_EQ(editor.Text(), "");
    EXPECT_EQ(editor.CheckInvariants(), "");
}

TEST(Lines, AssignCopiesAnotherList) {
    RecordingEditor source;
    source.Lines().SetText("one\ntwo\n");
    RecordingEditor editor;
    editor.SetText("old");
    editor.SetLines(source.Lines());
    EXPECT_EQ(editor.Text(), "one\r\ntwo\r\n");
    editor.SetLines(editor.Lines());
    EXPECT_EQ(editor.Text(), "one\r\ntwo\r\n");
    EXPECT_EQ(editor.Lines().IndexOf("TWO"), 1);
    EXPECT_EQ(editor.Lines().IndexOf("three"), -1);
}

TEST(Lines, OffsetsAndPointsConvertBothWays) {
    RecordingEditor editor;
    editor.SetText("ab\r\n\r\ncdef");
    EXPECT_EQ(editor.LineLength(1), 2);
    EXPECT_EQ(editor.LineLength(2), 0);
    EXPECT_EQ(editor.LineLength(3), 4);
    EXPECT_EQ(editor.LineLength(4), -2);
    EXPECT_EQ(editor.OffsetToPoint(1), (TextPoint{1, 1}));
    EXPECT_EQ(editor.OffsetToPoint(3), (TextPoint{1, 3})); // the CR
    EXPECT_EQ(editor.OffsetToPoint(5), (TextPoint{2, 1}));
    EXPECT_EQ(editor.OffsetToPoint(11), (TextPoint{3, 5}));
    EXPECT_EQ(editor.OffsetToPoint(0), (TextPoint{1, 0}));
    EXPECT_EQ(editor.PointToOffset({4, 0}), editor.TextLength() + 2);
    EXPECT_EQ(editor.PointToOffset({0, 7}), 7);
    EXPECT_EQ(editor.PointToOffset({1, 9}), 9); // no clamping
    for (int offset = 1; offset <= editor.TextLength() + 1; ++offset)
        EXPECT_EQ(editor.PointToOffset(editor.OffsetToPoint(offset)), offset);
}

TEST(Lines, CarriesBytesOfEveryValue) {
    RecordingEditor editor;
    const std::string bytes("a\0b\xFF\xB0\xA1", 6);
    editor.SetText(bytes);
    EXPECT_EQ(editor.Text(), bytes);
    char buffer[5];
    EXPECT_EQ(editor.WMGetText(buffer, 5), 4);
    EXPECT_EQ(std::string(buffer, 5), std::string("a\0b\xFF\0", 5));
    EXPECT_EQ(editor.WMGetTextLength(), 6);
    EXPECT_EQ(editor.WMSetText("new"), 1);
    EXPECT_EQ(editor.Text(), "new");
}

} // namespace
} // namespace kelvara
