// Frames beyond the first 4 GiB of a sparse file are found at their true offsets.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "bitstream/file_stream.h"
#include "bitstream/vellix_bitstream.h"
#include "byte_layout.h"
#include "temp_source.h"

namespace {

constexpr FileOffset k4GiB = FileOffset{1} << 32;

void WriteAt(const char* path, FileOffset offset, const Bytes& bytes) {
    std::FILE* file = std::fopen(path, "r+b");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(SeekStream(file, static_cast<std::int64_t>(offset), SEEK_SET), 0);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

TEST(LargeFile, FramesAcrossAndBeyondFourGiB) {
    TempSource source;
    const FileOffset size = k4GiB + 4096;
    std::error_code error;
    std::filesystem::resize_file(source.path(), size, error);
    if (error) {
        GTEST_SKIP() << "no room for a sparse file of 4 GiB: " << error.message();
    }
    // One frame whose end signature straddles the 4 GiB line, one wholly beyond it.
    const FileOffset across = k4GiB - 8;
    const FileOffset beyond = k4GiB + 1024;
    WriteAt(source.path(), across, Cat({kStart, kWord, kEnd1, kEnd2}));
    WriteAt(source.path(), beyond, Cat({kStart, kEnd1, kEnd2}));

    vellix_bitstream reader(source.path());
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.GetSize(), size);
    FileOffset start = 0;
    FileOffset end = 0;
    FrameType type = 0;
    // The search starts well before the line and runs across it.
    ASSERT_TRUE(reader.FindNextFrame(k4GiB - (64 << 20), start, end, type));
    EXPECT_EQ(start, across);
    EXPECT_EQ(end, across + 16);
    EXPECT_EQ(reader.Tell(), across + 16);
    ASSERT_TRUE(reader.FindNextFrame(end, start, end, type));
    EXPECT_EQ(start, beyond);
    EXPECT_EQ(end, beyond + 12);
    EXPECT_EQ(reader.Tell(), beyond + 12);
    EXPECT_FALSE(reader.FindNextFrame(end, start, end, type));
    EXPECT_EQ(reader.Tell(), size);
}

}  // namespace
