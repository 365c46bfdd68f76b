#include "test_runtime_folders.h"

#include <gtest/gtest.h>

#include <cstring>

std::string TestProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string TestRuntimeFolder(const std::string& name) {
    return TestProgramFolder() + "test_runtime\\" + name + "\\";
}

std::string TestRuntimePath(const std::string& name) {
    return TestRuntimeFolder(name) + "QuickTime.qts";
}

std::string OurQuickTimeQtsPath() {
    std::string path = TestProgramFolder() + TARNWICK_QUICKTIME_QTS_RELATIVE;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    return std::string(folder, length) + "\\";
}

TestRuntime::TestRuntime(const std::string& name)
    : module_(LoadLibraryA(TestRuntimePath(name).c_str())) {
    EXPECT_NE(module_, nullptr) << TestRuntimePath(name);
}

FARPROC TestRuntime::entry(const char* name) const {
    return GetProcAddress(module_, name);
}

namespace {
template <typename Function>
Function Control(const TestRuntime& runtime, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(runtime.entry(name)));
}
}  // namespace

std::uint32_t TestRuntime::callCount() const {
    return Control<std::uint32_t (*)()>(*this, "EchoCallCount")();
}

std::uint32_t TestRuntime::selector(std::uint32_t call) const {
    return Control<std::uint32_t (*)(std::uint32_t)>(*this, "EchoSelector")(call);
}

std::uint32_t TestRuntime::argument(std::uint32_t word) const {
    return Control<std::uint32_t (*)(std::uint32_t)>(*this, "EchoArgument")(word);
}

void TestRuntime::setResult(std::uint32_t result) const {
    Control<void (*)(std::uint32_t)>(*this, "EchoSetResult")(result);
}

int ReleaseQuickTimeReferences() {
    int released = 0;
    while (HMODULE module = GetModuleHandleA("QuickTime.qts")) {
        if (!FreeLibrary(module) || ++released == 1000) {
            break;
        }
    }
    return released;
}
