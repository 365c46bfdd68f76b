// The reader's life and positioning: opening, refusing, reading and sizing, alone and between
// frame searches, and a whole run in the order the repair job calls it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bitstream/vellix_bitstream.h"
#include "byte_layout.h"
#include "temp_source.h"

namespace {

struct Extent {
    FileOffset start;
    FileOffset end;
    bool operator==(const Extent&) const = default;
};

// Bytes 0, 1, 2, ... (mod 251): tells from where a read took its bytes.
Bytes Counting(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(i % 251);
    }
    return bytes;
}

void ExpectNoFrame(vellix_bitstream& reader) {
    FileOffset start = 99;
    FileOffset end = 99;
    FrameType type = 99;
    EXPECT_FALSE(reader.FindNextFrame(0, start, end, type));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
    EXPECT_EQ(type, 0);
}

TEST(SourceReader, WithoutPathHoldsNothing) {
    vellix_bitstream reader;
    EXPECT_FALSE(reader.IsOpen());
    ExpectNoFrame(reader);
    EXPECT_NE(reader.Seek(0), 0);
    EXPECT_NE(reader.SeekFromEnd(0), 0);
    EXPECT_EQ(reader.Tell(), 0u);
    EXPECT_EQ(reader.GetSize(), 0u);
}

TEST(SourceReader, MissingFileIsNotOpened) {
    TempSource folder;
    const std::string missing = (folder.folder() / "missing.mov").string();
    vellix_bitstream reader(missing.c_str());
    EXPECT_FALSE(reader.IsOpen());
    unsigned char buffer[16];
    EXPECT_EQ(reader.Read(buffer, sizeof buffer), 0u);
    ExpectNoFrame(reader);
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
}

TEST(SourceReader, FolderIsNotOpened) {
    TempSource source;
    vellix_bitstream reader(source.folder().string().c_str());
    EXPECT_FALSE(reader.IsOpen());
    ExpectNoFrame(reader);
}

TEST(SourceReader, EmptyFileOpensWithSizeZero) {
    TempSource source;
    vellix_bitstream reader(source.path());
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.GetSize(), 0u);
    ExpectNoFrame(reader);
}

TEST(SourceReader, CloseTwiceLeavesNoStream) {
    TempSource source(Cat({kStart, kEnd1, kEnd2}));
    vellix_bitstream reader(source.path());
    ASSERT_TRUE(reader.IsOpen());
    reader.Close();
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    ExpectNoFrame(reader);
}

TEST(SourceReader, SeeksFromStartAndEnd) {
    TempSource source(Counting(1000));
    vellix_bitstream reader(source.path());
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.Seek(300), 0);
    EXPECT_EQ(reader.Tell(), 300u);
    EXPECT_EQ(reader.SeekFromEnd(-10), 0);
    EXPECT_EQ(reader.Tell(), 990u);
    unsigned char buffer[32];
    EXPECT_EQ(reader.Read(buffer, sizeof buffer), 10u);
    EXPECT_EQ(buffer[0], 990 % 251);
    EXPECT_NE(reader.SeekFromEnd(-2000), 0);
}

TEST(SourceReader, GetSizeKeepsThePosition) {
    TempSource source(Counting(1000));
    vellix_bitstream reader(source.path());
    ASSERT_TRUE(reader.IsOpen());
    reader.Seek(417);
    EXPECT_EQ(reader.GetSize(), 1000u);
    EXPECT_EQ(reader.Tell(), 417u);
    unsigned char byte = 0;
    EXPECT_EQ(reader.Read(&byte, 1), 1u);
    EXPECT_EQ(byte, 417 % 251);
}

// The repair job reads the frame-header block from the frame's end; that end may lie in the
// reader's first block, or several blocks on.
TEST(SourceReader, ReadsFromTheEndOfTheFrameFound) {
    for (const std::size_t lead : {std::size_t{0}, kReadBlockSize - 4, 2 * kReadBlockSize + 8}) {
        SCOPED_TRACE(lead);
        const Bytes header = Counting(5000);
        TempSource source(Cat({Fill(lead), kStart, kEnd1, kEnd2, header}));
        vellix_bitstream reader(source.path());
        FileOffset start = 0;
        FileOffset end = 0;
        FrameType type = 0;
        ASSERT_TRUE(reader.FindNextFrame(0, start, end, type));
        EXPECT_EQ(end, lead + 12);
        EXPECT_EQ(reader.GetSize(), lead + 12 + header.size());
        EXPECT_EQ(reader.Tell(), end);
        Bytes block(4096);
        ASSERT_EQ(reader.Read(block.data(), 4096), 4096u);
        EXPECT_TRUE(std::equal(block.begin(), block.end(), header.begin()));
        EXPECT_EQ(reader.Tell(), end + 4096);
        EXPECT_EQ(reader.Read(block.data(), 4096), header.size() - 4096);
    }
}

// Frames of many sizes, some longer than a read block, between runs of junk and near-misses;
// the reader is driven exactly as the repair job drives it.
TEST(SourceReader, FindsEveryFrameInTheRepairJobsCallingOrder) {
    // The first frame lies off the grid of offset 0, so the first frame found starts at 64.
    Bytes file = Cat({Fill(10), kStart, kEnd1, kEnd2, Fill(42)});
    std::vector<Extent> expected;
    const std::size_t contents[] = {0, 1, 300, kReadBlockSize / 4, 7, kReadBlockSize / 2 + 3, 2, 0};
    for (const std::size_t words : contents) {
        const FileOffset start = file.size();
        Append(file, kStart);
        for (std::size_t i = 0; i < words; ++i) {
            // now and then a first end word followed by a miss
            Append(file, i % 5 == 3 && i + 1 < words ? kEnd1 : kWord);
        }
        Append(file, Cat({kEnd1, kEnd2}));
        expected.push_back({start, file.size()});
        if (words % 2 == 1) {
            Append(file, Cat({kEnd1, kEnd2, Fill(words * 4)}));
        }
    }
    Append(file, kStart);  // a frame cut by the end of the file

    TempSource source(file);
    vellix_bitstream reader(source.path());
    ASSERT_TRUE(reader.IsOpen());
    ASSERT_EQ(reader.GetSize(), file.size());
    std::vector<Extent> found;
    FileOffset start = 0;
    FileOffset end = 0;
    FrameType type = 0;
    FileOffset from = 0;
    while (reader.FindNextFrame(from, start, end, type)) {
        EXPECT_EQ(type, 3);
        found.push_back({start, end});
        if (found.size() == 1) {
            Bytes header(4096);
            reader.Read(header.data(), 4096);
        }
        from = end;
    }
    EXPECT_EQ(found, expected);
    EXPECT_EQ(start, file.size() - 4);
    EXPECT_EQ(type, 3);
    EXPECT_EQ(reader.Tell(), file.size());
}

}  // namespace
