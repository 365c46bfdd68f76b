// FindNextFrame over small byte layouts: one case per behaviour of the word-by-word search, and
// the cases that straddle the reader's read blocks, where a buffered scanner breaks.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "bitstream/vellix_bitstream.h"
#include "byte_layout.h"
#include "temp_source.h"

namespace {

constexpr FileOffset kBlock = kReadBlockSize;

struct ScanCase {
    std::string name;
    Bytes file;
    FileOffset offset;
    bool found;
    FileOffset start;
    FileOffset end;
    FrameType type;
    std::optional<FileOffset> tell;  // Tell() afterwards, where it matters
    // A call made before on the same reader, whose result is not checked.
    std::optional<FileOffset> earlier = std::nullopt;
};

std::vector<ScanCase> ScanCases() {
    const Bytes frame = Cat({kStart, kEnd1, kEnd2});
    return {
        // What a frame is.
        {"FrameAtZero", frame, 0, true, 0, 12, 3, 12},
        {"FrameWithContent", Cat({kWord, kStart, kWord, kWord, kEnd1, kEnd2, kWord}), 0, true, 4,
         24, 3, 24},
        {"EndSignatureBeforeStartIsPassedOver", Cat({kEnd1, kEnd2, kStart, kEnd1, kEnd2}), 0, true,
         8, 20, 3, 20},
        {"SecondStartWordIsContent", Cat({kStart, kWord, kStart, kEnd1, kEnd2}), 0, true, 0, 20, 3,
         20},
        {"WordAfterFirstEndWordIsConsumed", Cat({kStart, kEnd1, kEnd1, kEnd2}), 0, false, 0, 0, 3,
         16},
        {"SignatureAfterConsumedWord", Cat({kStart, kEnd1, kEnd1, kEnd2, kEnd1, kEnd2}), 0, true, 0,
         24, 3, 24},
        {"TrailingBytesAfterFrame", Cat({frame, Fill(3)}), 0, true, 0, 12, 3, 12},
        {"PartialStartWordAtEnd", Cat({kWord, {0x00, 0x01, 0x00}}), 0, false, 0, 0, 0, 7},
        // Words are examined only at offset + 4k.
        {"FrameAtTwoUnseenFromZero", Cat({Fill(2), frame}), 0, false, 0, 0, 0, 14},
        {"FrameAtTwoFromTwo", Cat({Fill(2), frame}), 2, true, 2, 14, 3, 14},
        {"FrameAtOneUnseenFromZero", Cat({Fill(1), frame, Fill(3)}), 0, false, 0, 0, 0, 16},
        {"SignaturesOffTheGrid", Cat({kStart, Fill(2), kEnd1, kEnd2, Fill(2)}), 0, false, 0, 0, 3,
         16},
        // The end of the file.
        {"EmptyFile", {}, 0, false, 0, 0, 0, 0},
        {"StartWithoutEnd", Cat({kWord, kStart, kWord, kWord}), 0, false, 4, 0, 3, 16},
        {"FirstEndWordIsLastWord", Cat({kStart, kEnd1}), 0, false, 0, 0, 3, 8},
        {"EndSignatureCutAfterOneByte", Cat({kStart, kEnd1, {0x00}}), 0, false, 0, 0, 3, 9},
        {"EndSignatureCutAfterTwoBytes", Cat({kStart, kEnd1, {0x00, 0x18}}), 0, false, 0, 0, 3, 10},
        {"EndSignatureCutAfterThreeBytes", Cat({kStart, kEnd1, {0x00, 0x18, 0x00}}), 0, false, 0, 0,
         3, 11},
        {"OffsetAtEnd", frame, 12, false, 0, 0, 0, 12},
        {"OffsetBeyondEnd", frame, 100, false, 0, 0, 0, std::nullopt},
        // Calls in a row on one reader.
        {"BackToBack", Cat({frame, kStart, kWord, kEnd1, kEnd2}), 12, true, 12, 28, 3, 28, 0},
        {"CallAfterCallThatHitEnd", frame, 0, true, 0, 12, 3, 12, 4},
        {"CallAfterCallBeyondEnd", frame, 0, true, 0, 12, 3, 12, 100},
        {"OtherAlignmentOnSameReader", Cat({Fill(2), frame}), 2, true, 2, 14, 3, 14, 0},
        {"NothingCarriedOverFromEarlierCall", Cat({kStart, kWord, kEnd1, kEnd2}), 4, false, 0, 0, 0,
         16, 0},
        // Read blocks: words, signatures and frames across their edges.
        {"StartWordLastInBlock", Cat({Fill(kBlock - 4), frame}), 0, true, kBlock - 4, kBlock + 8, 3,
         kBlock + 8},
        {"EndSignatureAcrossBlocks", Cat({kStart, Fill(kBlock - 8), kEnd1, kEnd2}), 0, true, 0,
         kBlock + 4, 3, kBlock + 4},
        {"ConsumedWordFirstInNextBlock", Cat({kStart, Fill(kBlock - 8), kEnd1, kEnd1, kEnd2}), 0,
         false, 0, 0, 3, kBlock + 8},
        {"FrameLongerThanBlocks", Cat({kWord, kStart, Fill(3 * kBlock), kEnd1, kEnd2, kWord}), 0,
         true, 4, 3 * kBlock + 16, 3, 3 * kBlock + 16},
        {"StartWordAcrossCachedBlock", Cat({frame, Fill(kBlock - 14), frame}), 14, true, kBlock - 2,
         kBlock + 10, 3, kBlock + 10, 0},
        {"EndSignatureAcrossCachedBlock",
         Cat({frame, Fill(2), kStart, Fill(kBlock - 20), kEnd1, kEnd2}), 14, true, 14, kBlock + 6,
         3, kBlock + 6, 0},
        {"CutSignatureAtEndOfSecondBlock", Cat({kStart, Fill(2 * kBlock - 8), kEnd1, {0x00, 0x18}}),
         0, false, 0, 0, 3, 2 * kBlock + 2},
    };
}

void PrintTo(const ScanCase& scan, std::ostream* out) {
    *out << scan.name;
}

class FrameScan : public testing::TestWithParam<ScanCase> {};

TEST_P(FrameScan, FindsWhatTheWordByWordSearchFinds) {
    const ScanCase& scan = GetParam();
    TempSource source(scan.file);
    vellix_bitstream reader(source.path());
    ASSERT_TRUE(reader.IsOpen());
    FileOffset start = 99;
    FileOffset end = 99;
    FrameType type = 99;
    if (scan.earlier) {
        reader.FindNextFrame(*scan.earlier, start, end, type);
        start = end = 99;
        type = 99;
    }

    EXPECT_EQ(reader.FindNextFrame(scan.offset, start, end, type), scan.found);
    EXPECT_EQ(start, scan.start);
    EXPECT_EQ(end, scan.end);
    EXPECT_EQ(type, scan.type);
    if (scan.tell) {
        EXPECT_EQ(reader.Tell(), *scan.tell);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, FrameScan, testing::ValuesIn(ScanCases()),
                         [](const testing::TestParamInfo<ScanCase>& info) {
                             return info.param.name;
                         });

}  // namespace
