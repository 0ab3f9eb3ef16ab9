#include <gtest/gtest.h>

#include <random>

#include "../search/CodePageScope.h"
#include "EditorScript.h"

namespace kelvara {
namespace {

// Seeded random sessions of mouse, keys, drags, clipboard, undo and redo:
// the editor stays consistent after every step, undoing everything gives
// back the first text, and redoing everything the newest.
void PlayRandomSessions(std::uint32_t seed, CodePage codePage) {
    CodePageScope scope(codePage);
    std::mt19937 random(seed);
    for (int session = 0; session < 60; ++session) {
        test::WindowedEditor window;
        TMemoComponent& editor = window.editor;
        editor.SetDragDropEditing(true);
        editor.SetText("abc def\r\n\tghi (jk) \xB0\xA1\r\n\r\nlmn opq rst uvw xyz 012 345 678");
        editor.ClearUndo();
        const std::string first = editor.Text();
        std::string bytes(400, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random());
        std::string_view left = bytes;
        test::EditorScript script(editor, window.host);
        for (int step = 0; script.Step(left); ++step)
            ASSERT_EQ(editor.CheckInvariants(), "") << "session " << session << " step " << step;
        script.Finish();
        while (editor.EMCanUndo(1))
            editor.Redo();
        const std::string last = editor.Text();
        while (editor.EMCanUndo(0))
            editor.Undo();
        ASSERT_EQ(editor.Text(), first) << "session " << session;
        while (editor.EMCanUndo(1))
            editor.Redo();
        ASSERT_EQ(editor.Text(), last) << "session " << session;
        ASSERT_EQ(editor.CheckInvariants(), "");
    }
}

TEST(RandomSessions, UndoingEverythingGivesBackTheFirstText) {
    PlayRandomSessions(1107, CodePage::Gbk);
    PlayRandomSessions(2718, CodePage::Utf8);
}

} // namespace
} // namespace kelvara
