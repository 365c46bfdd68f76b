// The call stubs hand every call untouched to whatever the dispatcher slot holds: the selector
// in EAX, the caller's arguments on the stack, the dispatcher's result back to the caller.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <type_traits>

#include "qtml/call_stubs.h"
#include "qtml/runtime_loader.h"
#include "test_runtime_folders.h"

namespace {

constexpr std::uint32_t kArguments[] = {0x81828384, 0x91929394, 0xA1A2A3A4, 0xB1B2B3B4,
                                        0xC1C2C3C4, 0xD1D2D3D4, 0xE1E2E3E4};
constexpr std::uint32_t kResult = 0x5A6B7C8D;

// Argument word i, as the routine's parameter type.
template <typename T>
T A(int i) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(static_cast<std::uintptr_t>(kArguments[i]));
    } else {
        return static_cast<T>(kArguments[i]);
    }
}

// What the caller reads of a result, and which bits of the result register that is.
struct Observed {
    std::uint32_t value;
    std::uint32_t mask;
};

template <typename Result>
Observed Observe(Result result) {
    if constexpr (std::is_pointer_v<Result>) {
        return {static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(result)), 0xFFFFFFFF};
    } else {
        using Unsigned = std::make_unsigned_t<Result>;
        return {static_cast<Unsigned>(result), static_cast<Unsigned>(~Unsigned{0})};
    }
}

struct StubCall {
    const char* name;
    std::uint32_t selector;
    int words;
    unsigned halfWords;  // bit i set: argument i is a 16-bit value, read from the low half
    std::function<Observed()> call;
};

template <typename Call>
std::function<Observed()> Reading(Call call) {
    return [call] {
        if constexpr (std::is_void_v<decltype(call())>) {
            call();
            return Observed{0, 0};
        } else {
            return Observe(call());
        }
    };
}

const StubCall kStubCalls[] = {
    {"CloseComponent", 0x00010008, 1, 0,
     Reading([] { return CloseComponent(A<ComponentInstance>(0)); })},
    {"EnterMovies", 0x00020001, 0, 0, Reading([] { return EnterMovies(); })},
    {"DisposeMovie", 0x00020023, 1, 0, Reading([] { DisposeMovie(A<Movie>(0)); })},
    {"GetMediaDuration", 0x0002006A, 1, 0, Reading([] { return GetMediaDuration(A<Media>(0)); })},
    {"BeginMediaEdits", 0x00020072, 1, 0, Reading([] { return BeginMediaEdits(A<Media>(0)); })},
    {"EndMediaEdits", 0x00020073, 1, 0, Reading([] { return EndMediaEdits(A<Media>(0)); })},
    {"InsertMediaIntoTrack", 0x00020183, 5, 0, Reading([] {
         return InsertMediaIntoTrack(A<Track>(0), A<TimeValue>(1), A<TimeValue>(2), A<TimeValue>(3),
                                     A<Fixed>(4));
     })},
    {"NewMovieTrack", 0x00020188, 4, 0b1000, Reading([] {
         return NewMovieTrack(A<Movie>(0), A<Fixed>(1), A<Fixed>(2), A<std::int16_t>(3));
     })},
    {"NewTrackMedia", 0x0002018E, 5, 0, Reading([] {
         return NewTrackMedia(A<Track>(0), A<OSType>(1), A<TimeScale>(2), A<Handle>(3),
                              A<OSType>(4));
     })},
    {"AddMediaDataRef", 0x00020198, 4, 0, Reading([] {
         return AddMediaDataRef(A<Media>(0), A<std::int16_t*>(1), A<Handle>(2), A<OSType>(3));
     })},
    {"AddMediaSampleReferences64", 0x000202E8, 5, 0, Reading([] {
         return AddMediaSampleReferences64(A<Media>(0), A<SampleDescriptionHandle>(1),
                                           A<std::int32_t>(2), A<SampleReference64Record*>(3),
                                           A<TimeValue*>(4));
     })},
    {"CreateMovieStorage", 0x0002038A, 7, 0b1000, Reading([] {
         return CreateMovieStorage(A<Handle>(0), A<OSType>(1), A<OSType>(2), A<ScriptCode>(3),
                                   A<std::int32_t>(4), A<DataHandler*>(5), A<Movie*>(6));
     })},
    {"CloseMovieStorage", 0x0002038C, 1, 0,
     Reading([] { return CloseMovieStorage(A<DataHandler>(0)); })},
    {"AddMovieToStorage", 0x0002038F, 2, 0,
     Reading([] { return AddMovieToStorage(A<Movie>(0), A<DataHandler>(1)); })},
    {"QTNewDataReferenceFromFullPathCFString", 0x000203EA, 5, 0, Reading([] {
         return QTNewDataReferenceFromFullPathCFString(A<CFStringRef>(0), A<QTPathStyle>(1),
                                                       A<std::uint32_t>(2), A<Handle*>(3),
                                                       A<OSType*>(4));
     })},
    {"FixRatio", 0x00100001, 2, 0b11,
     Reading([] { return FixRatio(A<std::int16_t>(0), A<std::int16_t>(1)); })},
    {"NewHandleClear", 0x0015000A, 1, 0, Reading([] { return NewHandleClear(A<Size>(0)); })},
    {"DisposeHandle", 0x00150032, 1, 0, Reading([] { DisposeHandle(A<Handle>(0)); })},
    {"RuntimeInitializeQTML", 0x001D0008, 1, 0,
     Reading([] { return RuntimeInitializeQTML(A<std::int32_t>(0)); })},
    {"RuntimeQTMLIsInitialized", 0x001D0059, 0, 0,
     Reading([] { return RuntimeQTMLIsInitialized(); })},
    {"c2pstrcpy", 0x00280019, 2, 0,
     Reading([] { c2pstrcpy(A<unsigned char*>(0), A<const char*>(1)); })},
    {"CFRelease", 0x0032006C, 1, 0, Reading([] { CFRelease(A<CFTypeRef>(0)); })},
    {"CFStringCreateWithCString", 0x003201DB, 3, 0, Reading([] {
         return CFStringCreateWithCString(A<CFAllocatorRef>(0), A<const char*>(1),
                                          A<CFStringEncoding>(2));
     })},
};

// The echo runtime bound as the dispatcher, with no pre-call hook.
class CallStubs : public testing::Test {
  protected:
    void SetUp() override {
        echo_.setResult(kResult);
        QuickTimePreCallHook = nullptr;
        QuickTimeDispatcherSlot =
            reinterpret_cast<QuickTimeEntryPoint>(echo_.entry("theQuickTimeDispatcher"));
        ASSERT_NE(QuickTimeDispatcherSlot, nullptr);
    }

    // The selector and argument words the echo runtime received in its last call.
    void ExpectReceived(const StubCall& stub, std::uint32_t callsBefore) const {
        ASSERT_EQ(echo_.callCount(), callsBefore + 1) << "one dispatch per call";
        EXPECT_EQ(echo_.selector(callsBefore), stub.selector);
        for (int word = 0; word < stub.words; ++word) {
            const std::uint32_t mask = (stub.halfWords >> word & 1) != 0 ? 0xFFFF : 0xFFFFFFFF;
            EXPECT_EQ(echo_.argument(word) & mask, kArguments[word] & mask) << "word " << word;
        }
    }

    TestRuntime echo_{"echo"};
};

TEST_F(CallStubs, PassEveryArgumentSelectorAndResultThroughUntouched) {
    for (const StubCall& stub : kStubCalls) {
        SCOPED_TRACE(stub.name);
        const std::uint32_t callsBefore = echo_.callCount();
        const Observed result = stub.call();
        EXPECT_EQ(result.value, kResult & result.mask);
        ExpectReceived(stub, callsBefore);
    }
}

int gHookCalls = 0;

// A hook that counts and leaves garbage in the registers a callee may use.
void CountingHook() {
    ++gHookCalls;
    asm volatile("movl $0xDEADBEEF, %%eax\n\tmovl %%eax, %%ecx\n\tmovl %%eax, %%edx"
                 :
                 :
                 : "eax", "ecx", "edx");
}

TEST_F(CallStubs, CallTheHookBeforeEveryDispatchWithTheCallersStackIntact) {
    QuickTimePreCallHook = &CountingHook;
    for (const StubCall& stub : kStubCalls) {
        SCOPED_TRACE(stub.name);
        const int hookCallsBefore = gHookCalls;
        const std::uint32_t callsBefore = echo_.callCount();
        const Observed result = stub.call();
        EXPECT_EQ(gHookCalls, hookCallsBefore + 1);
        EXPECT_EQ(result.value, kResult & result.mask);
        ExpectReceived(stub, callsBefore);
    }
}

QuickTimeEntryPoint gDispatcherToBind = nullptr;

// A hook that binds the runtime, as the loader's first-call hook does.
void BindingHook() {
    ++gHookCalls;
    QuickTimeDispatcherSlot = gDispatcherToBind;
    QuickTimePreCallHook = nullptr;
}

TEST_F(CallStubs, SendTheCallThatTriggeredABindingHookToTheNewlyBoundRuntime) {
    gDispatcherToBind = QuickTimeDispatcherSlot;
    QuickTimeDispatcherSlot = &QuickTimeNotBoundError;
    QuickTimePreCallHook = &BindingHook;
    gHookCalls = 0;

    const std::uint32_t callsBefore = echo_.callCount();
    EXPECT_EQ(static_cast<std::uint16_t>(EnterMovies()), kResult & 0xFFFF);
    EXPECT_EQ(static_cast<std::uint16_t>(EnterMovies()), kResult & 0xFFFF);
    EXPECT_EQ(gHookCalls, 1) << "a hook that cleared itself is not called again";
    EXPECT_EQ(echo_.callCount(), callsBefore + 2);
}

TEST_F(CallStubs, AnswerMinus2095KeepingTheRoutinesGroupWhileNothingIsBound) {
    QuickTimeDispatcherSlot = &QuickTimeNotBoundError;
    const std::uint32_t callsBefore = echo_.callCount();

    EXPECT_EQ(EnterMovies(), -2095);
    EXPECT_EQ(AddMediaDataRef(nullptr, nullptr, nullptr, 0), -2095);
    EXPECT_EQ(RuntimeInitializeQTML(0), -2095);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(NewMovieTrack(nullptr, 0, 0, 0)), 0x0002F7D1u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(NewHandleClear(86)), 0x0015F7D1u);
    EXPECT_NE(RuntimeQTMLIsInitialized(), 0) << "its low byte reads as true";
    EXPECT_EQ(echo_.callCount(), callsBefore);
}

}  // namespace
