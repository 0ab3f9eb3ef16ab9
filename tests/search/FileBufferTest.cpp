#include "search/FileBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "search/TestFolder.h"

namespace kelvara {
namespace {

std::string_view Read(FileBuffer& buffer, const std::string& path) {
    EXPECT_FALSE(buffer.Read(path).has_value()) << path;
    return {buffer.Bytes().data(), buffer.Bytes().size()};
}

// A file larger than the buffer keeps between files is read into memory of
// its own, given back after it; the files around it read whole and right.
TEST(FileBufferTest, LargeFilesAreReadWholeAndTheirMemoryGivenBack) {
    TestFolder dir;
    std::string large(5u << 20, 'x');
    large.back() = 'L';
    std::string larger(7u << 20, 'y');
    larger.front() = 'F';
    const std::string small = dir.Write("small", "small file\n");
    const std::string medium = dir.Write("medium", std::string(300u << 10, 'm'));
    const std::string largePath = dir.Write("large", large);
    const std::string largerPath = dir.Write("larger", larger);

    FileBuffer buffer;
    EXPECT_EQ(Read(buffer, small), "small file\n");
    EXPECT_EQ(Read(buffer, largePath), large);
    EXPECT_EQ(Read(buffer, largerPath), larger); // a large file after a large one
    buffer.ReleaseLarge();
    EXPECT_TRUE(buffer.Bytes().empty());
    EXPECT_EQ(Read(buffer, medium), std::string(300u << 10, 'm'));
    buffer.ReleaseLarge(); // a moderate buffer is kept with its bytes
    EXPECT_EQ(buffer.Bytes().size(), 300u << 10);
    EXPECT_EQ(Read(buffer, largePath), large);
    EXPECT_EQ(Read(buffer, small), "small file\n"); // without a release between them
    EXPECT_EQ(Read(buffer, largePath), large);
    buffer.ReleaseLarge();
    EXPECT_EQ(Read(buffer, medium), std::string(300u << 10, 'm'));
}

} // namespace
} // namespace kelvara
