// A stand-in for QuickTime.qts in the tests: its dispatcher (echo_dispatcher.S) records every
// call it receives and answers with a preset result, which the test reads and sets through the
// functions below.
#include <cstdint>

extern "C" {

std::uint32_t gEchoCallCount = 0;
std::uint32_t gEchoSelectors[64] = {};
std::uint32_t gEchoArguments[8] = {};
std::uint32_t gEchoResult = 0;

std::uint32_t EchoCallCount() {
    return gEchoCallCount;
}
std::uint32_t EchoSelector(std::uint32_t call) {
    return gEchoSelectors[call % 64];
}
std::uint32_t EchoArgument(std::uint32_t word) {
    return gEchoArguments[word % 8];
}
void EchoSetResult(std::uint32_t result) {
    gEchoResult = result;
}

// The component call entries are bound, never called.
std::uint32_t EchoComponentCall() {
    return 0xFFFFFFFFu;
}

}  // extern "C"
