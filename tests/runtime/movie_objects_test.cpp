// Tracks, media and their samples: what callers rely on, and what is refused.
#include <gtest/gtest.h>

#include <limits>

#include "runtime/errors.h"
#include "tests/runtime/movie_session.h"
#include "tests/support/temp_files.h"

namespace tarnwick::test {
namespace {

constexpr OSType kAlias = FourCharCode('a', 'l', 'i', 's');

// A movie with its track, media and source reference ready for samples; stored nowhere.
class MediaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(session_.Create(Utf8FromPath(dir_ / "take-new.mov")), noErr);
        ASSERT_EQ(session_.AddVideoTrack("/clips/take.mov"), noErr);
    }

    ImageDescription& Description() {
        return *reinterpret_cast<ImageDescription*>(*session_.description());
    }

    OSErr Add(SampleReference64Record record) {
        return AddMediaSampleReferences64(session_.media(), session_.description(), 1, &record,
                                          nullptr);
    }

    TempDir dir_;
    MovieSession session_;
};

TEST_F(MediaTest, FirstDataReferenceIsIndexOneAndTheNextTwo) {
    EXPECT_EQ(Description().dataRefIndex, 1);
    Handle second = MakeDataReference("/clips/other.mov");
    std::int16_t index = 0;
    EXPECT_EQ(AddMediaDataRef(session_.media(), &index, second, kAlias), noErr);
    EXPECT_EQ(index, 2);
    DisposeHandle(second);
}

TEST_F(MediaTest, AddMediaDataRefRefusesWhatIsNoDataReference) {
    std::int16_t index = 0;
    Handle plain = NewHandleClear(16);
    EXPECT_NE(AddMediaDataRef(session_.media(), &index, plain, kAlias), noErr);
    Handle dataRef = MakeDataReference("/clips/other.mov");
    EXPECT_NE(AddMediaDataRef(session_.media(), &index, dataRef, FourCharCode('u', 'r', 'l', ' ')),
              noErr);
    EXPECT_EQ(index, 0);
    DisposeHandle(plain);
    DisposeHandle(dataRef);
}

TEST_F(MediaTest, SamplesAddUpToTheMediaDurationAndReportTheirTime) {
    TimeValue sampleTime = -1;
    SampleReference64Record record = SampleRecord(0, 100, 3);
    EXPECT_EQ(AddMediaSampleReferences64(session_.media(), session_.description(), 1, &record,
                                         &sampleTime),
              noErr);
    EXPECT_EQ(sampleTime, 0);
    record = SampleRecord(100, 100, 2);
    EXPECT_EQ(AddMediaSampleReferences64(session_.media(), session_.description(), 1, &record,
                                         &sampleTime),
              noErr);
    EXPECT_EQ(sampleTime, 3);
    EXPECT_EQ(GetMediaDuration(session_.media()), 5);
}

TEST_F(MediaTest, ImpossibleSamplesAreRefusedAndNothingIsAdded) {
    struct Case {
        const char* what;
        SampleReference64Record record;
    };
    SampleReference64Record twoSamples = SampleRecord(0, 10, 1);
    twoSamples.numberOfSamples = 2;
    const Case cases[] = {
        {"size 0", SampleRecord(0, 0, 1)},
        {"duration 0", SampleRecord(0, 10, 0)},
        {"negative duration", SampleRecord(0, 10, -1)},
        {"offset at 2^63", SampleRecord(std::uint64_t{1} << 63, 10, 1)},
        {"sample reaching past 2^63", SampleRecord((std::uint64_t{1} << 63) - 5, 10, 1)},
        {"two samples in one record", twoSamples},
    };
    for (const Case& c : cases) {
        EXPECT_NE(Add(c.record), noErr) << c.what;
    }
    EXPECT_EQ(GetMediaDuration(session_.media()), 0);
}

TEST_F(MediaTest, MediaDurationNeverOverflows) {
    const TimeValue max = std::numeric_limits<TimeValue>::max();
    EXPECT_EQ(Add(SampleRecord(0, 10, max - 1)), noErr);
    EXPECT_EQ(Add(SampleRecord(10, 10, 1)), noErr);
    EXPECT_NE(Add(SampleRecord(20, 10, 1)), noErr);
    EXPECT_EQ(GetMediaDuration(session_.media()), max);
}

TEST_F(MediaTest, DescriptionMustNameAReferenceOfTheMediaAndStayTheSame) {
    Description().dataRefIndex = 2;
    EXPECT_NE(Add(SampleRecord(0, 10, 1)), noErr);
    Description().dataRefIndex = 1;
    EXPECT_EQ(Add(SampleRecord(0, 10, 1)), noErr);
    Description().width = 640;
    EXPECT_NE(Add(SampleRecord(10, 10, 1)), noErr);
    EXPECT_EQ(GetMediaDuration(session_.media()), 1);
}

TEST_F(MediaTest, RecordsAndDescriptionMustBeThere) {
    SampleReference64Record record = SampleRecord(0, 10, 1);
    EXPECT_NE(
        AddMediaSampleReferences64(session_.media(), session_.description(), 0, &record, nullptr),
        noErr);
    EXPECT_NE(
        AddMediaSampleReferences64(session_.media(), session_.description(), 1, nullptr, nullptr),
        noErr);
    Handle small = NewHandleClear(40);
    EXPECT_NE(AddMediaSampleReferences64(session_.media(), small, 1, &record, nullptr), noErr);
    DisposeHandle(small);
}

TEST_F(MediaTest, InsertMediaIntoTrackTakesTheWholeMediaAtRateOne) {
    EXPECT_EQ(Add(SampleRecord(0, 10, 4)), noErr);
    EXPECT_NE(InsertMediaIntoTrack(session_.track(), 0, 0, 5, fixed1), noErr);  // beyond media
    EXPECT_NE(InsertMediaIntoTrack(session_.track(), 0, 0, 4, 2 * fixed1), noErr);
    EXPECT_NE(InsertMediaIntoTrack(session_.track(), 3, 0, 4, fixed1), noErr);  // leaves a gap
    EXPECT_EQ(InsertMediaIntoTrack(session_.track(), 0, 0, 0, fixed1), noErr);  // nothing
    EXPECT_EQ(InsertMediaIntoTrack(session_.track(), 0, 0, 4, fixed1), noErr);
}

TEST_F(MediaTest, BeginAndEndMediaEditsAnswerForALiveMedia) {
    EXPECT_EQ(BeginMediaEdits(session_.media()), noErr);
    EXPECT_EQ(EndMediaEdits(session_.media()), noErr);
}

TEST_F(MediaTest, OneTrackPerMovieAndOneVideoMediaPerTrack) {
    EXPECT_EQ(NewMovieTrack(session_.movie(), fixed1, fixed1, 0), nullptr);
    EXPECT_EQ(NewTrackMedia(session_.track(), VideoMediaType, 25, nullptr, 0), nullptr);
}

TEST(Media, NewTrackMediaNeedsVideoAndAPositiveTimeScale) {
    TempDir dir;
    MovieSession session;
    ASSERT_EQ(session.Create(Utf8FromPath(dir / "take-new.mov")), noErr);
    Track track = NewMovieTrack(session.movie(), FixRatio(64, 1), FixRatio(48, 1), 0);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(NewTrackMedia(track, VideoMediaType, 0, nullptr, 0), nullptr);
    EXPECT_EQ(NewTrackMedia(track, VideoMediaType, -25, nullptr, 0), nullptr);
    EXPECT_EQ(NewTrackMedia(track, FourCharCode('s', 'o', 'u', 'n'), 25, nullptr, 0), nullptr);
    Handle plain = NewHandleClear(4);
    EXPECT_EQ(NewTrackMedia(track, VideoMediaType, 25, plain, kAlias), nullptr);
    DisposeHandle(plain);
    EXPECT_NE(NewTrackMedia(track, VideoMediaType, 25, nullptr, 0), nullptr);
}

TEST(Media, DisposedMovieTakesItsTrackAndMediaAlong) {
    TempDir dir;
    MovieSession session;
    ASSERT_EQ(session.Create(Utf8FromPath(dir / "take-new.mov")), noErr);
    ASSERT_EQ(session.AddVideoTrack("/clips/take.mov"), noErr);
    const Track track = session.track();
    const Media media = session.media();
    DisposeMovie(session.movie());
    EXPECT_EQ(NewTrackMedia(track, VideoMediaType, 25, nullptr, 0), nullptr);
    EXPECT_EQ(BeginMediaEdits(media), runtime::invalidMedia);
    EXPECT_EQ(GetMediaDuration(media), 0);
}

}  // namespace
}  // namespace tarnwick::test
