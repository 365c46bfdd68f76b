#include "qtml/runtime_loader.h"

#include "qtml/call_stubs.h"
#include "qtml/library_search.h"

namespace {

constexpr char kLibraryFileName[] = "QuickTime.qts";

// The rest of the binding state; the cells the stubs read are below, with C names.
HMODULE gModule = nullptr;
std::int32_t gInitializationCount = 0;
bool gVersionKnown = false;
bool gVersionOk = false;

QuickTimeEntryPoint NotBoundError() {
    return &QuickTimeNotBoundError;
}

// The hook after a failed initialisation: every routine call tries to resolve again.
void ResolveAsHook() {
    ResolveQuickTimeEntryPoints();
}

// Stores one entry point of the loaded library in its slot, found or not. A slot is never left
// empty: a missing entry point is answered by the error routine. True when it was found.
bool BindEntryPoint(const char* name, QuickTimeEntryPoint& slot) {
    const FARPROC found = gModule != nullptr ? GetProcAddress(gModule, name) : nullptr;
    slot = found != nullptr ? reinterpret_cast<QuickTimeEntryPoint>(found) : NotBoundError();
    return found != nullptr;
}

void EnterFailedState() {
    if (gModule != nullptr) {
        FreeLibrary(gModule);
        gModule = nullptr;
    }
    QuickTimePreCallHook = &ResolveAsHook;
    QuickTimeDispatcherSlot = NotBoundError();
    QuickTimeComponentCallSlot = NotBoundError();
    QuickTimeComponentCallWithStorageSlot = NotBoundError();
}

// Loads, binds and initialises the runtime; the first InitializeQTML of the process.
OSErr LoadAndInitialize(std::int32_t flags) {
    gModule = LoadQuickTimeLibrary(kLibraryFileName);
    OSErr result = kQuickTimeLibraryNotLoaded;
    if (gModule != nullptr) {
        result = ResolveQuickTimeEntryPoints();
        if (result == noErr) {
            result = RuntimeInitializeQTML(flags);
        }
    }
    if (result == noErr) {
        ++gInitializationCount;
    } else {
        EnterFailedState();
    }
    return result;
}

bool ReadModuleVersionOk(HMODULE module) {
    char path[261];
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return false;
    }
    DWORD versionMS = 0;
    DWORD versionLS = 0;
    GetFileVersionNumbers(path, &versionMS, &versionLS);
    return QuickTimeVersionValue(versionMS, versionLS) >= kQuickTimeVersionThreshold;
}

}  // namespace

extern "C" {

QuickTimeEntryPoint QuickTimePreCallHook = &LoadQuickTimeOnFirstCall;
QuickTimeEntryPoint QuickTimeDispatcherSlot = &QuickTimeNotBoundError;
QuickTimeEntryPoint QuickTimeComponentCallSlot = &QuickTimeNotBoundError;
QuickTimeEntryPoint QuickTimeComponentCallWithStorageSlot = &QuickTimeNotBoundError;

OSErr InitializeQTML(std::int32_t flags) {
    const InitMutexName name = FormatInitMutexName(GetCurrentProcessId());
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, name.text);
    if (mutex != nullptr) {
        WaitForSingleObject(mutex, INFINITE);
    }
    OSErr result = noErr;
    if (gInitializationCount > 0) {
        ++gInitializationCount;
    } else {
        result = LoadAndInitialize(flags);
    }
    if (mutex != nullptr) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return result;
}

void LoadQuickTimeOnFirstCall() {
    bool loadedHere = false;
    if (gModule == nullptr) {
        gModule = LoadQuickTimeLibrary(kLibraryFileName);
        if (gModule == nullptr) {
            return;
        }
        loadedHere = true;
    }
    ResolveQuickTimeEntryPoints();
    if (!loadedHere || !CheckQuickTimeVersion()) {
        return;
    }
    // A runtime that is already initialised is held by someone else: give back our reference.
    if (RuntimeQTMLIsInitialized() != 0) {
        FreeLibrary(gModule);
        gModule = nullptr;
    }
}

OSErr ResolveQuickTimeEntryPoints() {
    if (!BindEntryPoint("_CallComponentFunctionWithStorage",
                        QuickTimeComponentCallWithStorageSlot) ||
        !BindEntryPoint("_CallComponent", QuickTimeComponentCallSlot) ||
        !BindEntryPoint("theQuickTimeDispatcher", QuickTimeDispatcherSlot)) {
        return kQuickTimeEntryPointMissing;
    }
    QuickTimePreCallHook = nullptr;
    return noErr;
}

}  // extern "C"

bool CheckQuickTimeVersion() {
    if (gVersionKnown) {
        return gVersionOk;
    }
    HMODULE module = gModule;
    const bool loadedForCheck = module == nullptr;
    if (loadedForCheck) {
        module = LoadQuickTimeLibrary(kLibraryFileName);
        if (module == nullptr) {
            return gVersionOk;
        }
    }
    gVersionOk = ReadModuleVersionOk(module);
    if (loadedForCheck) {
        FreeLibrary(module);
    }
    gVersionKnown = true;
    return gVersionOk;
}

std::uint32_t QuickTimeVersionValue(DWORD versionMS, DWORD versionLS) {
    return ((versionMS >> 16) & 0xFF) << 24 | (versionMS & 0xFF) << 16 |
           ((versionLS >> 16) & 0xFF) << 8 | (versionLS & 0xFF);
}

InitMutexName FormatInitMutexName(DWORD processId) {
    InitMutexName name{};
    wsprintfA(name.text, "QTMLInitTermMutex%lx", processId);
    return name;
}

std::int32_t QuickTimeInitializationCount() {
    return gInitializationCount;
}

HMODULE QuickTimeModule() {
    return gModule;
}
