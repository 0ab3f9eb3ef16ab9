#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/IntegerList.h"
#include "editor/LineBreaks.h"
#include "editor/TextStore.h"

namespace kelvara {
namespace {

TEST(TextStore, RandomEditsMatchAPlainString) {
    std::mt19937 random(7);
    TextStore store;
    std::string model;
    for (int step = 0; step < 3000; ++step) {
        const std::size_t at = random() % (model.size() + 1);
        const std::size_t length = std::min<std::size_t>(random() % 6, model.size() - at);
        const std::string text(random() % 9000 < 100 ? 5000 : random() % 4, char('a' + step % 26));
        store.Replace(at, length, text);
        model.replace(at, length, text);
        ASSERT_EQ(store.Length(), model.size());
        const std::size_t from = random() % (model.size() + 1);
        const std::size_t count = random() % (model.size() - from + 1);
        ASSERT_EQ(store.Copy(from, count), model.substr(from, count));
        const auto [first, second] = store.Pieces(from, count);
        ASSERT_EQ(std::string(first) + std::string(second), model.substr(from, count));
        ASSERT_EQ(store.View(from, count), model.substr(from, count));
    }
    store.Assign(std::string("fresh"));
    store.Replace(5, 0, "!");
    EXPECT_EQ(store.Copy(0, store.Length()), "fresh!");
}

TEST(IntegerList, LazyShiftsMatchAPlainVector) {
    std::mt19937 random(3);
    TIntegerList list;
    std::vector<std::int32_t> model;
    for (int step = 0; step < 5000; ++step) {
        const int size = static_cast<int>(model.size());
        const int index = size == 0 ? 0 : static_cast<int>(random() % (size + 1));
        switch (random() % 4) {
        case 0:
            list.Insert(index, step);
            model.insert(model.begin() + index, step);
            break;
        case 1:
            if (index < size) {
                list.Delete(index);
                model.erase(model.begin() + index);
            }
            break;
        case 2:
            list.InsertRange(index, {step, step + 1});
            model.insert(model.begin() + index, {step, step + 1});
            break;
        default: {
            const int delta = static_cast<int>(random() % 7) - 3;
            list.ShiftFrom(index, delta);
            for (int i = index; i < size; ++i)
                model[i] += delta;
        }
        }
        ASSERT_EQ(list.Count(), static_cast<int>(model.size()));
        for (int i = 0; i < list.Count(); ++i)
            ASSERT_EQ(list.Get(i), model[i]) << step;
    }
}

TEST(IntegerList, LastAtMostFindsTheEntryFromAnyGuess) {
    TIntegerList list;
    for (int value : {1, 5, 9, 9, 20, 40})
        list.Add(value);
    for (int guess : {-3, 0, 2, 5, 9}) {
        EXPECT_EQ(list.LastAtMost(0, guess), -1);
        EXPECT_EQ(list.LastAtMost(1, guess), 0);
        EXPECT_EQ(list.LastAtMost(8, guess), 1);
        EXPECT_EQ(list.LastAtMost(19, guess), 3);
        EXPECT_EQ(list.LastAtMost(1000, guess), 5);
    }
}

TEST(LineBreaks, EveryBreakBecomesCrLf) {
    EXPECT_EQ(AdjustLineBreaks("a\nb\rc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(AdjustLineBreaks("\xB0\xA1\n"), "\xB0\xA1\r\n");
    std::string text = "x \t\r\n  \r\ny  ";
    StripTrailingBlanks(text);
    EXPECT_EQ(text, "x\r\n\r\ny  ");
}

} // namespace
} // namespace kelvara
