// Binding the QuickTime runtime library while the program runs.
//
// The loader finds QuickTime.qts (library_search.h), binds its three entry points, keeps the
// process's count of initialisations under a named mutex, and binds the runtime by itself at
// the first routine call. It owns the binding cells that every call stub reads. Nothing is ever
// torn down: the runtime stays loaded until the process ends.
//
// The public InitializeQTML, declared with the movie services, is this loader's.
#pragma once

#include <windows.h>

#include <cstdint>

#include "movie/movie_services.h"

// An entry point or routine of any signature, as the binding cells hold it.
using QuickTimeEntryPoint = void (*)();

// Results of the binding layer.
inline constexpr OSErr kQuickTimeLibraryNotLoaded = -2093;
inline constexpr OSErr kQuickTimeEntryPointMissing = -2094;
inline constexpr OSErr kQuickTimeNotBound = -2095;

// Files whose version, in QuickTimeVersionValue's form, reaches this are QuickTime 7.0.2 or later.
inline constexpr std::uint32_t kQuickTimeVersionThreshold = 0x07000200;

extern "C" {

// The binding cells. The stubs read the first two; all change only through the loader.
extern QuickTimeEntryPoint QuickTimePreCallHook;  // empty once the runtime is bound
extern QuickTimeEntryPoint QuickTimeDispatcherSlot;
extern QuickTimeEntryPoint QuickTimeComponentCallSlot;
extern QuickTimeEntryPoint QuickTimeComponentCallWithStorageSlot;

// The error routine that the slots hold while nothing is bound. Entered like the dispatcher,
// by a stub's jump; it leaves -2095 in the low 16 bits of EAX and touches nothing else.
void QuickTimeNotBoundError();

// The pre-call hook at process start: loads and binds the runtime at the first routine call.
void LoadQuickTimeOnFirstCall();

// Looks the three entry points up in the loaded library; 0, or -2094 when one is missing.
OSErr ResolveQuickTimeEntryPoints();

}  // extern "C"

// True when the runtime's file version is 7.0.2 or later; settled once a library could be read.
bool CheckQuickTimeVersion();

// The four parts of a file version, each counted with its low 8 bits, in one word.
std::uint32_t QuickTimeVersionValue(DWORD versionMS, DWORD versionLS);

// The name of the mutex that guards initialisation in the process with the given id.
struct InitMutexName {
    char text[256];
};
InitMutexName FormatInitMutexName(DWORD processId);

// The number of successful InitializeQTML calls in this process, and the loaded library.
std::int32_t QuickTimeInitializationCount();
HMODULE QuickTimeModule();
