// Where the tests find the stand-ins for QuickTime.qts, and a handle on the echo runtime.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The folder of the running test program, ending in a backslash.
std::string TestProgramFolder();

// The folder of one stand-in (test_runtime/), ending in a backslash, e.g. "echo".
std::string TestRuntimeFolder(const std::string& name);

// The full path of the QuickTime.qts in that folder.
std::string TestRuntimePath(const std::string& name);

// The QuickTime.qts this project builds (runtime/dll).
std::string OurQuickTimeQtsPath();

// The system folder, ending in a backslash.
std::string SystemFolder();

// A stand-in loaded from its folder; the process keeps it loaded. For an echo runtime the
// functions below read what its dispatcher received and set what it answers.
class TestRuntime {
  public:
    explicit TestRuntime(const std::string& name);

    HMODULE module() const { return module_; }
    std::uint32_t callCount() const;
    std::uint32_t selector(std::uint32_t call) const;
    std::uint32_t argument(std::uint32_t word) const;
    void setResult(std::uint32_t result) const;
    FARPROC entry(const char* name) const;

  private:
    HMODULE module_;
};

// Gives back every reference to the loaded QuickTime.qts; the number given back.
int ReleaseQuickTimeReferences();
