// Every routine answers a null reference, or a value it never handed out (such as the
// 0x0002F7D1 a failed call elsewhere passes on), with an error or a null result.
#include <gtest/gtest.h>

#include <cstdint>

#include "movie/movie_services.h"

namespace {

template <typename Reference>
Reference Bogus(std::uintptr_t value) {
    return reinterpret_cast<Reference>(value);
}

class UnknownReferenceTest : public ::testing::TestWithParam<std::uintptr_t> {};

TEST_P(UnknownReferenceTest, IsAnsweredWithAnErrorOrNull) {
    const std::uintptr_t value = GetParam();
    const auto movie = Bogus<Movie>(value);
    const auto track = Bogus<Track>(value);
    const auto media = Bogus<Media>(value);
    const auto handle = Bogus<Handle>(value);
    const auto handler = Bogus<DataHandler>(value);
    const auto text = Bogus<CFStringRef>(value);
    const OSType alias = FourCharCode('a', 'l', 'i', 's');

    Handle dataRef = nullptr;
    OSType type = 0;
    EXPECT_NE(QTNewDataReferenceFromFullPathCFString(text, -1, 0, &dataRef, &type), noErr);
    DataHandler newHandler = nullptr;
    Movie newMovie = nullptr;
    EXPECT_NE(CreateMovieStorage(handle, alias, 0, -2, 0, &newHandler, &newMovie), noErr);
    EXPECT_EQ(newHandler, nullptr);
    EXPECT_EQ(newMovie, nullptr);
    EXPECT_EQ(NewMovieTrack(movie, fixed1, fixed1, 0), nullptr);
    EXPECT_EQ(NewTrackMedia(track, VideoMediaType, 25, nullptr, 0), nullptr);
    std::int16_t index = 0;
    EXPECT_NE(AddMediaDataRef(media, &index, handle, alias), noErr);
    EXPECT_EQ(index, 0);
    EXPECT_NE(BeginMediaEdits(media), noErr);
    EXPECT_NE(EndMediaEdits(media), noErr);
    SampleReference64Record record{{0, 0}, 16, 1, 1, 0};
    TimeValue sampleTime = -1;
    EXPECT_NE(AddMediaSampleReferences64(media, handle, 1, &record, &sampleTime), noErr);
    EXPECT_EQ(sampleTime, -1);
    EXPECT_EQ(GetMediaDuration(media), 0);
    EXPECT_NE(InsertMediaIntoTrack(track, 0, 0, 0, fixed1), noErr);
    EXPECT_NE(AddMovieToStorage(movie, handler), noErr);
    EXPECT_NE(CloseMovieStorage(handler), noErr);
    EXPECT_NE(CloseComponent(handler), noErr);
    DisposeMovie(movie);
    DisposeHandle(handle);
    CFRelease(text);
}

INSTANTIATE_TEST_SUITE_P(Values, UnknownReferenceTest,
                         ::testing::Values(std::uintptr_t{0}, std::uintptr_t{0x0002F7D1},
                                           std::uintptr_t{0x0015F7D1}, ~std::uintptr_t{0}));

}  // namespace
