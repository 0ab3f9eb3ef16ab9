#include "search/HitPrinters.h"

#include <gtest/gtest.h>

#include "search/ExportText.h"
#include "search/TestFolder.h"

namespace kelvara {
namespace {

// Two files with hits, exported again from a tree as a find leaves it.
class HitPrintersTest : public ::testing::Test {
protected:
    HitPrintersTest() {
        a = dir.Write("a.txt", "x\n  cat, \"cat\"\ny\nz\ncat\n");
        b = dir.Write("b,\xff.txt", "\xD6\xD0"
                                    "cat\n\xFF"
                                    "cat\n");
        const NodeRef fileA = tree.AppendFileNode(a, "cat", CodePage::Utf8);
        tree.AppendFindHit(fileA, {a, 2, 1, "cat"}); // columns in the trimmed line
        tree.AppendFindHit(fileA, {a, 2, 7, "cat"});
        tree.AppendFindHit(fileA, {a, 5, 1, "cat"});
        const NodeRef fileB = tree.AppendFileNode(b, "cat", CodePage::Gbk);
        tree.AppendFindHit(fileB, {b, 1, 3, "cat"});
        tree.AppendFindHit(fileB, {b, 2, 2, "cat"});
        settings.ignoreSpaces = true;
        settings.hitLength = [](std::string_view, std::size_t, CodePage) { return std::size_t{3}; };
    }

    std::string Export(HitPrinter& printer, CodePage codePageOfB) {
        HitExporter exporter(printer, settings);
        EXPECT_FALSE(exporter.ExportFile(tree, 0, CodePage::Utf8).has_value());
        EXPECT_FALSE(exporter.ExportFile(tree, 1, codePageOfB).has_value());
        return out;
    }

    TestFolder dir;
    std::string a, b;
    ResultTree tree;
    ExportSettings settings;
    std::string out;
};

TEST_F(HitPrintersTest, GrepLinesSeparateGroupsAcrossFiles) {
    settings.before = 1;
    GrepPrinter printer(
        out,
        [](std::string_view path, char separator, std::string& line) {
            line.append(path);
            line.push_back(separator);
        },
        [](std::string_view text, CodePage codePage, std::string& line) {
            AppendEscapedUtf8(text, codePage, line);
        },
        true);
    EXPECT_EQ(Export(printer, CodePage::Gbk),
              a + "-1-x\n" + a + ":2:1:  cat, \"cat\"\n" + a + ":2:7:  cat, \"cat\"\n--\n" + a +
                  "-4-z\n" + a + ":5:1:cat\n--\n" + b + ":1:3:中cat\n" + b + ":2:2:\\xFFcat\n");
}

TEST_F(HitPrintersTest, CsvQuotesWhereNeededAndEscapesInvalidBytes) {
    CsvPrinter printer(out);
    EXPECT_EQ(Export(printer, CodePage::Gbk),
              "path,line,column,text\r\n" + a + ",2,1,\"  cat, \"\"cat\"\"\"\r\n" + a +
                  ",2,7,\"  cat, \"\"cat\"\"\"\r\n" + a + ",5,1,cat\r\n\"" + dir.Path() +
                  "/b,\\xFF.txt\",1,3,中cat\r\n\"" + dir.Path() +
                  "/b,\\xFF.txt\",2,2,\\xFFcat\r\n");
}

TEST_F(HitPrintersTest, JsonGivesTextOrBytesAndTheHitsOffsets) {
    JsonPrinter printer(out);
    const std::string json = Export(printer, CodePage::Gbk);
    // Columns count in the trimmed line, offsets in the real one.
    EXPECT_NE(json.find("\"lines\":{\"text\":\"  cat, \\\"cat\\\"\\n\"},\"line_number\":2,"
                        "\"absolute_offset\":2,\"column\":7,\"submatches\":[{\"match\":{\"text\":"
                        "\"cat\"},\"start\":8,\"end\":11}]"),
              std::string::npos)
        << json;
    // A GBK line is given in UTF-8; one with an invalid byte as its bytes.
    EXPECT_NE(json.find("{\"text\":\"中cat\\n\"}"), std::string::npos);
    EXPECT_NE(json.find("{\"bytes\":\"/2NhdAo=\"}"), std::string::npos); // FF "cat" LF
    std::string path;
    AppendBase64(b, path);
    EXPECT_NE(json.find("{\"type\":\"begin\",\"data\":{\"path\":{\"bytes\":\"" + path + "\"}}}\n"),
              std::string::npos);
    printer.Summary(7, std::nullopt);
    EXPECT_TRUE(out.ends_with("{\"type\":\"summary\",\"data\":{\"stats\":{\"searches\":7,"
                              "\"searches_with_match\":2,\"matched_lines\":4,\"matches\":5}}}\n"))
        << out;
}

TEST(ExportTextTest, Base64AndJsonStrings) {
    std::string out;
    for (const char* text : {"", "f", "fo", "foo", "foob"}) {
        AppendBase64(text, out);
        out += "|";
    }
    EXPECT_EQ(out, "|Zg==|Zm8=|Zm9v|Zm9vYg==|");
    out.clear();
    AppendJsonString("a\"\\\n\t\x01", out);
    EXPECT_EQ(out, "\"a\\\"\\\\\\n\\t\\u0001\"");
}

} // namespace
} // namespace kelvara
