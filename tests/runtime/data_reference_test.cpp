// Data references made from full paths: always absolute, whatever path style the caller names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "runtime/data_references.h"
#include "tests/runtime/movie_session.h"
#include "tests/support/temp_files.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;
using runtime::FindDataReferencePath;
using runtime::kAliasDataRefType;

// Runs the test body inside a folder of its own and goes back afterwards.
class DataReferenceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = fs::current_path();
        fs::create_directories(dir_ / "work");
        fs::current_path(dir_ / "work");
    }
    void TearDown() override { fs::current_path(previous_); }

    std::string Work() const { return Utf8FromPath(fs::canonical(dir_.path()) / "work"); }

    // The path a reference made from `path` in `style` names, or "<none>".
    static std::string PathOf(const char* path, QTPathStyle style,
                              CFStringEncoding encoding = kCFStringEncodingUTF8) {
        CFStringRef text = CFStringCreateWithCString(nullptr, path, encoding);
        Handle dataRef = nullptr;
        OSType type = 0;
        const OSErr error = QTNewDataReferenceFromFullPathCFString(text, style, 1, &dataRef, &type);
        CFRelease(text);
        if (error != noErr) {
            EXPECT_EQ(dataRef, nullptr);
            return "<none>";
        }
        EXPECT_EQ(type, kAliasDataRefType);
        const auto named = FindDataReferencePath(dataRef, type);
        DisposeHandle(dataRef);
        return named.value_or("<unreadable>");
    }

    TempDir dir_;
    fs::path previous_;
};

TEST_F(DataReferenceTest, PathsAreMadeAbsoluteAgainstTheWorkingFolder) {
    struct Case {
        const char* path;
        std::string expected;
    };
    const Case cases[] = {
        {"take.mov", Work() + "/take.mov"},
        {"clips/take.mov", Work() + "/clips/take.mov"},
        {"./a/../take.mov", Work() + "/take.mov"},
        {"../take.mov", Utf8FromPath(fs::canonical(dir_.path())) + "/take.mov"},
        {"/abs/olute/take.mov", "/abs/olute/take.mov"},
        {"/abs/./x/../take.mov", "/abs/take.mov"},
        {"März/映像.mov", Work() + "/März/映像.mov"},
    };
    for (const Case& c : cases) {
        for (QTPathStyle style : {kQTNativeDefaultPathStyle, kQTPOSIXPathStyle}) {
            EXPECT_EQ(PathOf(c.path, style), c.expected) << c.path << " style " << style;
        }
    }
}

TEST_F(DataReferenceTest, MacRomanPathNamesTheUtf8File) {
    EXPECT_EQ(PathOf("/clips/caf\x8E.mov", kQTPOSIXPathStyle, kCFStringEncodingMacRoman),
              "/clips/caf\xC3\xA9.mov");
}

TEST_F(DataReferenceTest, EmptyPathOrUnknownStyleMakesNoReference) {
    EXPECT_EQ(PathOf("", kQTNativeDefaultPathStyle), "<none>");
    EXPECT_EQ(PathOf("/take.mov", 1), "<none>");  // HFS style is not taken
    EXPECT_EQ(PathOf("/take.mov", 2), "<none>");
}

TEST_F(DataReferenceTest, NullOrUnknownTextOrOutputsAreRefused) {
    CFStringRef text = CFStringCreateWithCString(nullptr, "/take.mov", kCFStringEncodingUTF8);
    Handle dataRef = reinterpret_cast<Handle>(1);
    OSType type = 1;
    const auto unknown = reinterpret_cast<CFStringRef>(std::uintptr_t{0x0002F7D1});
    EXPECT_NE(QTNewDataReferenceFromFullPathCFString(nullptr, -1, 0, &dataRef, &type), noErr);
    EXPECT_EQ(dataRef, nullptr);
    EXPECT_NE(QTNewDataReferenceFromFullPathCFString(unknown, -1, 0, &dataRef, &type), noErr);
    EXPECT_NE(QTNewDataReferenceFromFullPathCFString(text, -1, 0, nullptr, &type), noErr);
    EXPECT_NE(QTNewDataReferenceFromFullPathCFString(text, -1, 0, &dataRef, nullptr), noErr);
    CFRelease(text);
}

TEST_F(DataReferenceTest, OnlyLiveReferencesOfAliasTypeAreRead) {
    Handle dataRef = MakeDataReference("/take.mov");
    EXPECT_FALSE(FindDataReferencePath(dataRef, FourCharCode('u', 'r', 'l', ' ')));
    Handle plain = NewHandleClear(16);
    EXPECT_FALSE(FindDataReferencePath(plain, kAliasDataRefType));
    DisposeHandle(plain);
    DisposeHandle(dataRef);
    EXPECT_FALSE(FindDataReferencePath(dataRef, kAliasDataRefType));
}

}  // namespace
}  // namespace tarnwick::test
