// The runtime loader's state machine. Every test runs in a process of its own and so starts
// from the state at process start; the runtime comes from a stand-in loaded by the test first,
// which the library search takes before any other folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "qtml/library_search.h"
#include "qtml/runtime_loader.h"
#include "test_runtime_folders.h"

namespace {

constexpr std::uint32_t kEnterMovies = 0x00020001;
constexpr std::uint32_t kRuntimeInitializeQTML = 0x001D0008;
constexpr std::uint32_t kQTMLIsInitialized = 0x001D0059;

std::uintptr_t Word(const void* reference) {
    return reinterpret_cast<std::uintptr_t>(reference);
}

TEST(InitMutexName, IsTheProcessIdInLowerCaseHexadecimal) {
    EXPECT_STREQ(FormatInitMutexName(1234).text, "QTMLInitTermMutex4d2");
    EXPECT_STREQ(FormatInitMutexName(0xABCDEF01).text, "QTMLInitTermMutexabcdef01");
}

TEST(InitializeQTML, InitialisesTheRuntimeOnceAndThenOnlyCounts) {
    const TestRuntime echo("echo");
    echo.setResult(0);

    EXPECT_EQ(InitializeQTML(0x55), noErr);
    ASSERT_EQ(echo.callCount(), 1u);
    EXPECT_EQ(echo.selector(0), kRuntimeInitializeQTML);
    EXPECT_EQ(echo.argument(0), 0x55u) << "flags reach the runtime unchanged";
    EXPECT_EQ(QuickTimeInitializationCount(), 1);
    EXPECT_EQ(QuickTimePreCallHook, nullptr);

    EXPECT_EQ(InitializeQTML(0x66), noErr);
    EXPECT_EQ(QuickTimeInitializationCount(), 2);
    EXPECT_EQ(echo.callCount(), 1u) << "a second call neither loads nor calls the runtime";
    EXPECT_EQ(ReleaseQuickTimeReferences(), 2) << "the test's reference and the loader's one";
}

TEST(InitializeQTML, PassesOnTheRuntimesOwnFailureAndGivesTheLibraryBack) {
    const TestRuntime echo("echo");
    echo.setResult(static_cast<std::uint16_t>(-50));

    EXPECT_EQ(InitializeQTML(0), -50);
    EXPECT_EQ(QuickTimeInitializationCount(), 0);
    EXPECT_EQ(QuickTimeModule(), nullptr);

    echo.setResult(0);
    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound) << "the failed state answers every call";
    EXPECT_EQ(echo.callCount(), 1u);

    EXPECT_EQ(InitializeQTML(0), noErr) << "the next call tries everything again";
    EXPECT_EQ(QuickTimeInitializationCount(), 1);
    EXPECT_EQ(EnterMovies(), noErr);
    EXPECT_EQ(echo.callCount(), 3u);
    EXPECT_EQ(ReleaseQuickTimeReferences(), 2) << "the failed call's reference was given back";
}

TEST(InitializeQTML, AnswersMinus2094ForALibraryWithoutAnEntryPoint) {
    const TestRuntime runtime("no-component-call");

    EXPECT_EQ(InitializeQTML(0), kQuickTimeEntryPointMissing);
    EXPECT_EQ(QuickTimeModule(), nullptr);
    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound);
    EXPECT_EQ(Word(NewMovieTrack(nullptr, 0, 0, 0)), 0x0002F7D1u);
    EXPECT_EQ(AddMovieToStorage(nullptr, nullptr), kQuickTimeNotBound);
    EXPECT_EQ(runtime.callCount(), 0u);

    EXPECT_EQ(InitializeQTML(0), kQuickTimeEntryPointMissing);
    EXPECT_EQ(ReleaseQuickTimeReferences(), 1) << "only the test's own reference is left";
}

TEST(InitializeQTML, NeverJumpsThroughAMissingDispatcher) {
    const TestRuntime runtime("no-dispatcher");

    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound) << "bound by the first call without a dispatcher";
    EXPECT_EQ(Word(NewHandleClear(86)), 0x0015F7D1u);
    EXPECT_EQ(InitializeQTML(0), kQuickTimeEntryPointMissing);
    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound);
    EXPECT_EQ(runtime.callCount(), 0u);
}

TEST(FirstCall, BindsTheRuntimeBeforeInitializeQTMLAndIsCarriedOutByIt) {
    const TestRuntime echo("echo");
    echo.setResult(0);

    EXPECT_EQ(EnterMovies(), noErr);
    ASSERT_EQ(echo.callCount(), 2u);
    EXPECT_EQ(echo.selector(0), kQTMLIsInitialized) << "asked because the version is 7.0.2";
    EXPECT_EQ(echo.selector(1), kEnterMovies);
    EXPECT_EQ(QuickTimePreCallHook, nullptr) << "the hook is not called once bound";
    EXPECT_NE(QuickTimeModule(), nullptr);
    EXPECT_EQ(QuickTimeInitializationCount(), 0);

    EXPECT_EQ(InitializeQTML(0), noErr);
    EXPECT_EQ(QuickTimeInitializationCount(), 1);
    EXPECT_EQ(EnterMovies(), noErr);
    ASSERT_EQ(echo.callCount(), 4u);
    EXPECT_EQ(echo.selector(2), kRuntimeInitializeQTML) << "still loads and initialises";
    EXPECT_EQ(echo.selector(3), kEnterMovies);
    EXPECT_EQ(ReleaseQuickTimeReferences(), 3);
}

TEST(FirstCall, GivesItsReferenceBackWhenTheRuntimeIsAlreadyInitialised) {
    const TestRuntime echo("echo");
    echo.setResult(0x0101);  // the QTML query answers true in its low byte

    EXPECT_EQ(EnterMovies(), 0x0101) << "the call still reaches the runtime";
    EXPECT_EQ(QuickTimeModule(), nullptr);
    EXPECT_EQ(QuickTimePreCallHook, nullptr);
    EXPECT_EQ(ReleaseQuickTimeReferences(), 1);
}

TEST(FirstCall, ReadsOnlyTheLowByteOfTheQTMLQuery) {
    const TestRuntime echo("echo");
    echo.setResult(0xFF00);

    EXPECT_EQ(EnterMovies(), static_cast<OSErr>(0xFF00));
    EXPECT_NE(QuickTimeModule(), nullptr) << "a zero low byte is false";
}

TEST(FirstCall, RetriesOnTheNextCallWhenAComponentEntryIsMissing) {
    const TestRuntime runtime("no-component-call");

    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound);
    EXPECT_EQ(QuickTimeModule(), nullptr) << "the query's -2095 reads as true: load given back";
    EXPECT_EQ(QuickTimePreCallHook, &LoadQuickTimeOnFirstCall);
    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound);
    EXPECT_EQ(runtime.callCount(), 0u);
    EXPECT_EQ(ReleaseQuickTimeReferences(), 1);
}

// Without a QuickTime.qts anywhere the search can reach.
TEST(NoRuntime, InitializeQTMLAnswersMinus2093AndEveryCallMinus2095) {
    ASSERT_EQ(GetModuleHandleA("QuickTime.qts"), nullptr);

    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound);
    EXPECT_EQ(QuickTimePreCallHook, &LoadQuickTimeOnFirstCall) << "the next call tries again";
    EXPECT_EQ(InitializeQTML(0), kQuickTimeLibraryNotLoaded);
    EXPECT_EQ(EnterMovies(), kQuickTimeNotBound);
    EXPECT_EQ(CreateMovieStorage(nullptr, 0, 0, 0, 0, nullptr, nullptr), kQuickTimeNotBound);
    EXPECT_EQ(InitializeQTML(0), kQuickTimeLibraryNotLoaded);
    EXPECT_EQ(QuickTimeInitializationCount(), 0);
    EXPECT_FALSE(CheckQuickTimeVersion());
}

// The version gate counts each of the four parts with its low 8 bits.
struct VersionCase {
    const char* runtime;
    bool passes;
};

class VersionGate : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionGate, ReadsTheFileVersionAndComparesItWith702) {
    DWORD versionMS = 0;
    DWORD versionLS = 0;
    GetFileVersionNumbers(TestRuntimePath(GetParam().runtime).c_str(), &versionMS, &versionLS);
    EXPECT_NE(versionMS, 0u);
    EXPECT_EQ(QuickTimeVersionValue(versionMS, versionLS) >= kQuickTimeVersionThreshold,
              GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(TestRuntimes, VersionGate,
                         testing::Values(VersionCase{"version-7.0.2.0", true},
                                         VersionCase{"version-7.1.0.0", true},
                                         VersionCase{"version-7.0.258.0", true},
                                         VersionCase{"version-7.0.1.9", false},
                                         VersionCase{"version-6.5.2.0", false},
                                         VersionCase{"version-7.0.256.0", false}));

TEST(FileVersion, IsZeroForAFileWithoutVersionInformation) {
    DWORD versionMS = 1;
    DWORD versionLS = 1;
    GetFileVersionNumbers((TestProgramFolder() + "runtime_loader_tests.exe").c_str(), &versionMS,
                          &versionLS);
    EXPECT_EQ(versionMS, 0u);
    EXPECT_EQ(versionLS, 0u);
    GetFileVersionNumbers(TestRuntimePath("echo").c_str(), nullptr, nullptr);
}

TEST(CheckQuickTimeVersion, PassesALibraryOf70258AndGivesBackTheLoadItMadeForTheCheck) {
    const TestRuntime runtime("version-7.0.258.0");
    EXPECT_TRUE(CheckQuickTimeVersion());
    EXPECT_EQ(ReleaseQuickTimeReferences(), 1);
}

TEST(CheckQuickTimeVersion, FailsALibraryOf70256AndKeepsItsAnswer) {
    {
        const TestRuntime runtime("version-7.0.256.0");
        EXPECT_FALSE(CheckQuickTimeVersion());
        EXPECT_EQ(ReleaseQuickTimeReferences(), 1);
    }
    const TestRuntime newer("version-7.1.0.0");
    EXPECT_FALSE(CheckQuickTimeVersion()) << "settled once a library was read";
}

}  // namespace
