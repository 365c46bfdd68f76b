// Handles, fixed point, Pascal strings and start-up.
#include <gtest/gtest.h>

#include <string>

#include "movie/movie_services.h"

namespace {

TEST(Handles, NewHandleClearGivesZeroFilledBlocksOfEverySize) {
    for (Size size : {0, 1, 86, 65536}) {
        Handle handle = NewHandleClear(size);
        ASSERT_NE(handle, nullptr) << size;
        ASSERT_NE(*handle, nullptr) << size;
        for (Size i = 0; i < size; ++i) {
            ASSERT_EQ((*handle)[i], 0) << "size " << size << " byte " << i;
        }
        DisposeHandle(handle);
    }
}

TEST(Handles, NegativeSizeGivesNoHandle) {
    EXPECT_EQ(NewHandleClear(-1), nullptr);
}

TEST(Handles, DisposingTwiceOrDisposingNothingIsHarmless) {
    Handle handle = NewHandleClear(8);
    DisposeHandle(handle);
    DisposeHandle(handle);
    DisposeHandle(nullptr);
}

TEST(FixRatio, GivesTheQuotientInSixteenDotSixteen) {
    struct Case {
        std::int16_t numer, denom;
        Fixed expected;
    };
    const Case cases[] = {
        {2048, 1, 2048 << 16}, {1152, 1, 1152 << 16},    {0, 1, 0},
        {1, 2, 0x8000},        {-3, 1, -(3 << 16)},      {1, 3, 0x5555},
        {2, 3, 0xAAAB},        {-1, 2, -0x8000},         {1, 0, 0x7FFFFFFF},
        {-1, 0, INT32_MIN},    {-32768, -1, 0x7FFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FixRatio(c.numer, c.denom), c.expected) << c.numer << "/" << c.denom;
    }
}

TEST(PascalStrings, LengthByteThenCharacters) {
    unsigned char name[32] = {};
    c2pstrcpy(name, "Vellix HD");
    EXPECT_EQ(name[0], 9);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(name + 1), 9), "Vellix HD");

    c2pstrcpy(name, "");
    EXPECT_EQ(name[0], 0);
}

TEST(PascalStrings, ConvertsInPlaceAndKeepsAtMost255Characters) {
    char text[301] = "abc";
    c2pstrcpy(reinterpret_cast<unsigned char*>(text), text);
    EXPECT_EQ(std::string(text, 4), "\003abc");

    std::string longText(300, 'x');
    unsigned char buffer[301];
    c2pstrcpy(buffer, longText.c_str());
    EXPECT_EQ(buffer[0], 255);
    EXPECT_EQ(buffer[255], 'x');
}

TEST(StartUp, QtmlQueryAnswersOnlyAfterInitializeQtml) {
    EXPECT_EQ(EnterMovies(), noErr);
    EXPECT_EQ(QTMLIsInitialized(), 0);
    EXPECT_EQ(InitializeQTML(0), noErr);
    EXPECT_NE(QTMLIsInitialized(), 0);
    EXPECT_EQ(EnterMovies(), noErr);
}

}  // namespace
