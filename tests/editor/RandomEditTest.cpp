#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "FakeHost.h"
#include "editor/LineBreaks.h"

namespace kelvara {
namespace {

using test::RecordingEditor;

// The editor's rule for a span given by the caller: it never splits a CR LF pair.
void WidenOverBreaks(const std::string& text, int& a, int& b) {
    auto at = [&](int offset) {
        return offset >= 1 && offset <= static_cast<int>(text.size()) ? text[offset - 1] : '\0';
    };
    if (a > 1 && at(a) == '\n' && at(a - 1) == '\r') {
        if (b == a - 1) --b;
        --a;
    }
    if (b >= a && at(b) == '\r' && at(b + 1) == '\n') ++b;
}

std::string RandomText(std::mt19937& random) {
    static const char* const kPieces[] = {"a", "b", "_", " ", "\t", "\n", "\r", "\r\n", "\xB0\xA1"};
    std::string text;
    const int pieces = random() % 10 == 0 ? 30 : static_cast<int>(random() % 4);
    for (int i = 0; i < pieces; ++i)
        text += kPieces[random() % std::size(kPieces)];
    return text;
}

TEST(RandomEdits, EditorMatchesAPlainStringThroughEditsUndoAndRedo) {
    std::mt19937 random(20240611);
    RecordingEditor editor;
    std::vector<TMCRange*> markers;
    for (int i = 0; i < 4; ++i)
        markers.push_back(new TMCRange(&editor.Ranges()));
    std::string model;
    const std::string initial = model;
    for (int step = 0; step < 4000; ++step) {
        const int length = static_cast<int>(model.size());
        const int choice = static_cast<int>(random() % 10);
        if (choice < 7) {
            int a = static_cast<int>(random() % (length + 1)) + 1;
            int b = std::min(a - 1 + static_cast<int>(random() % 5), length);
            const std::string text = RandomText(random);
            std::vector<std::string> untouched(markers.size());
            for (std::size_t i = 0; i < markers.size(); ++i)
                untouched[i] = markers[i]->GetText();
            TMCRange span(&editor, a, b);
            span.SetText(text);
            WidenOverBreaks(model, a, b);
            const std::string converted = AdjustLineBreaks(text);
            model.replace(a - 1, b - a + 1, converted);
            ASSERT_EQ(span.RStart(), a);
            ASSERT_EQ(span.RLength(), static_cast<int>(converted.size()));
            for (std::size_t i = 0; i < markers.size(); ++i) {
                // A range away from the edit keeps covering the same text.
                const TMCRange& marker = *markers[i];
                const bool away = marker.RStart() > a + static_cast<int>(converted.size()) ||
                                  marker.REnd() < a - 1;
                if (away) {
                    ASSERT_EQ(marker.GetText(), untouched[i]) << step;
                }
            }
        } else if (choice < 9) {
            const std::string before = editor.Text();
            const int undos = 1 + static_cast<int>(random() % 3);
            int done = 0;
            for (; done < undos && editor.EMCanUndo(0); ++done) {
                editor.Undo();
                ASSERT_EQ(editor.CheckInvariants(), "") << step;
            }
            if (random() % 2 == 0) {
                for (int i = 0; i < done; ++i)
                    editor.Redo();
                ASSERT_EQ(editor.Text(), before) << step;
            }
            model = editor.Text();
        } else {
            TCustomRange& marker = *markers[random() % markers.size()];
            marker.SetRStart(static_cast<int>(random() % (length + 2)));
            marker.SetREnd(marker.RStart() + static_cast<int>(random() % 6) - 1);
        }
        ASSERT_EQ(editor.Text(), model) << step;
        ASSERT_EQ(editor.CheckInvariants(), "") << step;
    }
    const std::string final = editor.Text();
    while (editor.EMCanUndo(0))
        editor.Undo();
    EXPECT_EQ(editor.Text(), initial);
    while (editor.EMCanUndo(1))
        editor.Redo();
    EXPECT_EQ(editor.Text(), final);
    EXPECT_EQ(editor.CheckInvariants(), "");
}

} // namespace
} // namespace kelvara
