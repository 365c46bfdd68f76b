#include "movie/quicktime_movie.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/movie/recording_movie_services.h"

namespace {

using Calls = std::vector<std::string>;

constexpr OSType kVXHD = FourCharCode('V', 'X', 'H', 'D');

const Calls kCreateCalls = {
    "CFStringCreateWithCString(null, \"take-new.mov\", 0x8000100)",
    "QTNewDataReferenceFromFullPathCFString(text, -1, 0)",
    "CFRelease(text)",
    "CreateMovieStorage(outputRef, 'alis', 'TVOD', -2, 0x90000000)",
};

const Calls kTrackCalls = {
    "FixRatio(1920, 1)",
    "FixRatio(1080, 1)",
    "NewMovieTrack(movie, 0x7800000, 0x4380000, 0)",
    "NewHandleClear(86)",
    "c2pstrcpy(\"Vellix HD\")",
    "NewTrackMedia(track, 'vide', 25, null, 0)",
    "CFStringCreateWithCString(null, \"take.mov\", 0x8000100)",
    "QTNewDataReferenceFromFullPathCFString(text, -1, 1)",
    "CFRelease(text)",
    "AddMediaDataRef(media, &description.dataRefIndex, sourceRef, 'alis')",
    "BeginMediaEdits(media)",
};

const Calls kStoreCalls = {
    "AddMovieToStorage(movie, handler)",
    "CloseMovieStorage(handler)",
    "CloseComponent(handler)",
    "DisposeMovie(movie)",
};

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Calls FinishCalls(int duration) {
    return {"EndMediaEdits(media)", "GetMediaDuration(media)",
            "InsertMediaIntoTrack(track, 0, 0, " + std::to_string(duration) + ", 0x10000)"};
}

const Calls kDisposeAll = {"DisposeHandle(sourceRef)", "DisposeHandle(outputRef)",
                           "DisposeHandle(description)"};

class QuickTimeMovieTest : public testing::Test {
  protected:
    void SetUp() override { StartRecording(); }

    bool CreateAndAddTrack(CQuickTimeMovie& movie) {
        return movie.CreateMovieFile("take-new.mov") &&
               movie.AddVideoTrack(1920, 1080, kVXHD, "Vellix HD", 25, "take.mov");
    }
};

TEST_F(QuickTimeMovieTest, AWholeRunMakesTheseCallsInThisOrder) {
    {
        CQuickTimeMovie movie;
        ASSERT_TRUE(CreateAndAddTrack(movie));
        EXPECT_TRUE(movie.AddFrameReference(0x1000, 0x1400, 3, 1001));
        movie.Close();
    }
    Calls sample = {"AddMediaSampleReferences64(media, description, 1, &time)"};
    EXPECT_EQ(Recording().calls, Join({kCreateCalls, kTrackCalls, sample, FinishCalls(1001),
                                       kStoreCalls, kDisposeAll}));
}

TEST_F(QuickTimeMovieTest, TheSampleDescriptionIsFilledAsTheRuntimeExpects) {
    CQuickTimeMovie movie;
    ASSERT_TRUE(CreateAndAddTrack(movie));
    movie.Close();
    const ImageDescription& d = Recording().description;
    EXPECT_EQ(d.idSize, 86);
    EXPECT_EQ(d.cType, kVXHD);
    EXPECT_EQ(d.dataRefIndex, 1);
    EXPECT_EQ(d.version, 1);
    EXPECT_EQ(d.vendor, FourCharCode('Z', 'O', 'R', 'V'));
    EXPECT_EQ(d.width, 1920);
    EXPECT_EQ(d.height, 1080);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(d.name), 10), "\x09Vellix HD");
    // Everything else stays as allocated.
    EXPECT_EQ(d.resvd1 | d.resvd2 | d.revisionLevel | d.temporalQuality | d.spatialQuality |
                  d.hRes | d.vRes | d.dataSize | d.frameCount | d.depth | d.clutID,
              0);
}

TEST_F(QuickTimeMovieTest, SampleRecordsCarryOffsetSizeDurationAndSyncState) {
    struct Case {
        std::uint64_t start, end;
        std::int32_t type;
        std::uint32_t lo;
        std::int32_t hi;
        std::int16_t flags;
    };
    const Case cases[] = {
        {0x1000, 0x1400, 3, 0x1000, 0, 0},
        {0x1400, 0x2000, 2, 0x1400, 0, mediaSampleNotSync},  // a difference frame
        {0x2000, 0x2010, 1, 0x2000, 0, 0},
        {0x2010, 0x2020, 0, 0x2010, 0, 0},
        {0x1'2345'6780ull, 0x1'2345'6790ull, 3, 0x23456780, 1, 0},  // beyond 4 GiB
    };
    CQuickTimeMovie movie;
    ASSERT_TRUE(CreateAndAddTrack(movie));
    for (const Case& c : cases) {
        EXPECT_TRUE(movie.AddFrameReference(c.start, c.end, c.type, 1001));
    }
    ASSERT_EQ(Recording().samples.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const SampleReference64Record& r = Recording().samples[i];
        EXPECT_EQ(r.dataOffset.lo, cases[i].lo) << i;
        EXPECT_EQ(r.dataOffset.hi, cases[i].hi) << i;
        EXPECT_EQ(r.dataSize, cases[i].end - cases[i].start) << i;
        EXPECT_EQ(r.durationPerSample, 1001) << i;
        EXPECT_EQ(r.numberOfSamples, 1) << i;
        EXPECT_EQ(r.sampleFlags, cases[i].flags) << i;
    }
}

TEST_F(QuickTimeMovieTest, ExtentsASampleCannotDescribeAreRefusedWithoutAsking) {
    CQuickTimeMovie movie;
    ASSERT_TRUE(CreateAndAddTrack(movie));
    std::size_t callsBefore = Recording().calls.size();
    EXPECT_FALSE(movie.AddFrameReference(0, 0x1'0000'0000ull, 3, 1));  // 4 GiB
    EXPECT_FALSE(movie.AddFrameReference(0x100, 0x100, 3, 1));         // empty
    EXPECT_FALSE(movie.AddFrameReference(0x200, 0x100, 3, 1));         // backwards
    EXPECT_EQ(Recording().calls.size(), callsBefore);
    EXPECT_TRUE(movie.AddFrameReference(0, 0xFFFF'FFFCull, 3, 1));  // the largest that fits
}

TEST_F(QuickTimeMovieTest, ARefusedSampleIsReportedAndNothingElseChanges) {
    CQuickTimeMovie movie;
    ASSERT_TRUE(CreateAndAddTrack(movie));
    Recording().failing["AddMediaSampleReferences64"] = -50;
    EXPECT_FALSE(movie.AddFrameReference(0, 12, 3, 1));
    Recording().failing.clear();
    EXPECT_TRUE(movie.AddFrameReference(12, 24, 3, 1));
    EXPECT_EQ(Recording().samples.size(), 1u);
}

TEST_F(QuickTimeMovieTest, CloseRunsOnceAndTheDestructorStoresAnUnclosedMovie) {
    {
        CQuickTimeMovie movie;
        ASSERT_TRUE(CreateAndAddTrack(movie));
    }  // destroyed without Close
    Calls expected = Join({kCreateCalls, kTrackCalls, FinishCalls(0), kStoreCalls, kDisposeAll});
    EXPECT_EQ(Recording().calls, expected);

    StartRecording();
    {
        CQuickTimeMovie movie;
        ASSERT_TRUE(CreateAndAddTrack(movie));
        movie.Close();
        std::size_t afterFirstClose = Recording().calls.size();
        movie.Close();
        EXPECT_EQ(Recording().calls.size(), afterFirstClose);
    }
    EXPECT_EQ(Recording().calls, expected);
}

// Each failing step stops its operation; Close then releases what the earlier steps made.
TEST_F(QuickTimeMovieTest, AFailedStepStopsTheOperationAndCloseReleasesWhatWasMade) {
    struct Case {
        const char* failing;
        bool createOk;
        bool trackOk;
        Calls closeCalls;
    };
    const Calls storeAndDisposeOutput = Join({kStoreCalls, {"DisposeHandle(outputRef)"}});
    const Case cases[] = {
        {"QTNewDataReferenceFromFullPathCFString", false, false, {}},
        {"CreateMovieStorage", false, false, {"DisposeHandle(outputRef)"}},
        {"NewMovieTrack", true, false, storeAndDisposeOutput},
        {"NewHandleClear", true, false, storeAndDisposeOutput},
        {"NewTrackMedia", true, false,
         Join({kStoreCalls, {"DisposeHandle(outputRef)", "DisposeHandle(description)"}})},
        {"AddMediaDataRef", true, false, Join({FinishCalls(0), kStoreCalls, kDisposeAll})},
    };
    for (const Case& c : cases) {
        StartRecording();
        Recording().failing[c.failing] = -108;
        CQuickTimeMovie movie;
        bool created = movie.CreateMovieFile("take-new.mov");
        EXPECT_EQ(created, c.createOk) << c.failing;
        if (created) {
            EXPECT_EQ(movie.AddVideoTrack(1920, 1080, kVXHD, "Vellix HD", 25, "take.mov"),
                      c.trackOk)
                << c.failing;
        }
        Recording().calls.clear();
        movie.Close();
        EXPECT_EQ(Recording().calls, c.closeCalls) << c.failing;
    }
}

TEST_F(QuickTimeMovieTest, CloseTellsWhetherTheMovieWasStoredAndReleasesEverythingEither) {
    {
        CQuickTimeMovie movie;
        ASSERT_TRUE(CreateAndAddTrack(movie));
        Recording().failing["AddMovieToStorage"] = -34;  // the disk is full
        Recording().calls.clear();
        EXPECT_FALSE(movie.Close());
        EXPECT_EQ(Recording().calls, Join({FinishCalls(0), kStoreCalls, kDisposeAll}));
        EXPECT_TRUE(movie.Close()) << "nothing is left to store";
    }
    CQuickTimeMovie unused;
    EXPECT_TRUE(unused.Close());
}

TEST_F(QuickTimeMovieTest, ANameLongerThanItsFieldIsRefused) {
    CQuickTimeMovie movie;
    ASSERT_TRUE(movie.CreateMovieFile("take-new.mov"));
    EXPECT_FALSE(
        movie.AddVideoTrack(16, 16, kVXHD, "a compressor name of 32 characters", 25, "take.mov"));
}

}  // namespace
