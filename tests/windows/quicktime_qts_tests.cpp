// Our QuickTime.qts as the program meets it: its file version passes the loader's gate, its
// dispatcher sends each selector to its routine with the caller's stack untouched, and it
// answers what it does not know with an error instead of crashing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "qtml/call_stubs.h"
#include "qtml/library_search.h"
#include "qtml/runtime_loader.h"
#include "test_runtime_folders.h"

namespace {

constexpr std::uint32_t kBadComponentSelector = 0x80008002u;

class QuickTimeQts : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(module_, nullptr) << OurQuickTimeQtsPath();
        dispatcher_ = reinterpret_cast<QuickTimeEntryPoint>(
            GetProcAddress(module_, "theQuickTimeDispatcher"));
        ASSERT_NE(dispatcher_, nullptr);
        QuickTimePreCallHook = nullptr;
        QuickTimeDispatcherSlot = dispatcher_;
    }

    // Enters the dispatcher the way a stub does, with two argument words on the stack.
    std::uint32_t Dispatch(std::uint32_t selector) const {
        std::uint32_t result = selector;
        asm volatile(
            "pushl $0x22222222\n\t"
            "pushl $0x11111111\n\t"
            "call *%[dispatcher]\n\t"
            "addl $8, %%esp"
            : "+a"(result)
            : [dispatcher] "r"(dispatcher_)
            : "ecx", "edx", "memory", "cc");
        return result;
    }

    HMODULE module_ = LoadLibraryA(OurQuickTimeQtsPath().c_str());
    QuickTimeEntryPoint dispatcher_ = nullptr;
};

TEST_F(QuickTimeQts, CarriesAFileVersionThatPassesTheGate) {
    DWORD versionMS = 0;
    DWORD versionLS = 0;
    GetFileVersionNumbers(OurQuickTimeQtsPath().c_str(), &versionMS, &versionLS);
    EXPECT_GE(QuickTimeVersionValue(versionMS, versionLS), kQuickTimeVersionThreshold);
}

TEST_F(QuickTimeQts, SendsEachSelectorToItsRoutine) {
    EXPECT_EQ(EnterMovies(), noErr);
    EXPECT_EQ(RuntimeQTMLIsInitialized(), 0);
    EXPECT_EQ(RuntimeInitializeQTML(0), noErr);
    EXPECT_NE(RuntimeQTMLIsInitialized(), 0);
    EXPECT_EQ(FixRatio(1, 4), 0x4000);

    unsigned char pascalText[8] = {};
    c2pstrcpy(pascalText, "abc");
    EXPECT_EQ(std::memcmp(pascalText,
                          "\x03"
                          "abc",
                          4),
              0);

    Handle handle = NewHandleClear(86);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ((*handle)[85], 0);
    DisposeHandle(handle);

    CFStringRef text = CFStringCreateWithCString(nullptr, "C:\\take.mov", kCFStringEncodingUTF8);
    EXPECT_NE(text, nullptr);
    CFRelease(text);
}

TEST_F(QuickTimeQts, AnswersAnUnknownSelectorWithAnError) {
    EXPECT_EQ(Dispatch(0x00020999), kBadComponentSelector);
    EXPECT_EQ(Dispatch(0), kBadComponentSelector);
    EXPECT_EQ(Dispatch(0xFFFFFFFF), kBadComponentSelector);
    EXPECT_EQ(Dispatch(0x00100001), 0x8000u) << "FixRatio(0x1111, 0x2222) is 0.5";
}

TEST_F(QuickTimeQts, AnswersComponentCallsWithAnError) {
    for (const char* name : {"_CallComponent", "_CallComponentFunctionWithStorage"}) {
        const auto entry = reinterpret_cast<std::uint32_t (*)()>(
            reinterpret_cast<QuickTimeEntryPoint>(GetProcAddress(module_, name)));
        ASSERT_NE(entry, nullptr) << name;
        EXPECT_EQ(entry(), kBadComponentSelector) << name;
    }
}

}  // namespace
