#include "qtml/library_search.h"

#include <cstring>

namespace {

constexpr char kLibraryFileName[] = "QuickTime.qts";
constexpr std::size_t kLibraryFileNameLength = sizeof kLibraryFileName - 1;
constexpr char kExtensionSubfolder[] = "QuickTime\\";
constexpr std::size_t kExtensionSubfolderLength = sizeof kExtensionSubfolder - 1;

bool EndsInSeparator(const char* text, std::size_t length) {
    return length > 0 && (text[length - 1] == '\\' || text[length - 1] == '/');
}

// Appends a backslash unless the text already ends in a separator. The caller has made room.
void AppendSeparator(char* text) {
    const std::size_t length = std::strlen(text);
    if (!EndsInSeparator(text, length)) {
        text[length] = '\\';
        text[length + 1] = '\0';
    }
}

// The length the text takes with a separator added, or kept, and its terminator.
std::size_t SizeWithSeparator(const char* text, std::size_t length) {
    return length + (EndsInSeparator(text, length) ? 1 : 2);
}

bool PathExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The system folder into buffer, without a separator added; false when it does not fit.
bool ReadSystemDirectory(char* buffer, std::size_t size) {
    buffer[0] = '\0';
    const UINT length = GetSystemDirectoryA(buffer, static_cast<UINT>(size));
    if (length == 0 || length >= size) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

// The folder of a QuickTime.qts already loaded in the process, separator included.
bool ReadLoadedLibraryFolder(char* buffer, std::size_t size) {
    const HMODULE loaded = GetModuleHandleA(kLibraryFileName);
    if (loaded == nullptr) {
        return false;
    }
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(loaded, path, sizeof path);
    if (length <= kLibraryFileNameLength || length >= sizeof path) {
        return false;
    }
    const std::size_t folderLength = length - kLibraryFileNameLength;
    if (folderLength + 2 > size) {
        return false;
    }
    std::memcpy(buffer, path, folderLength);
    buffer[folderLength] = '\0';
    return true;
}

// A registry folder, taken when it is set and exists.
bool ReadExistingRegistryFolder(const char* valueName, char* buffer, std::size_t size) {
    ReadQuickTimeRegistryString(kQuickTimeRegistryKey, valueName, buffer, size);
    if (buffer[0] != '\0' && PathExists(buffer)) {
        return true;
    }
    buffer[0] = '\0';
    return false;
}

// The system folder, taken when it exists and fits with a separator.
bool ReadExistingSystemFolder(char* buffer, std::size_t size) {
    if (ReadSystemDirectory(buffer, size) && PathExists(buffer) &&
        SizeWithSeparator(buffer, std::strlen(buffer)) <= size) {
        return true;
    }
    buffer[0] = '\0';
    return false;
}

HMODULE LoadLibraryFromFolder(const char* folder, const char* fileName) {
    char path[MAX_PATH];
    std::strcpy(path, folder);
    std::strcat(path, fileName);
    return LoadLibraryA(path);
}

}  // namespace

void GetFileVersionNumbers(const char* path, DWORD* versionMS, DWORD* versionLS) {
    if (versionMS != nullptr) {
        *versionMS = 0;
    }
    if (versionLS != nullptr) {
        *versionLS = 0;
    }
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &unused);
    if (size == 0) {
        return;
    }
    const HGLOBAL block = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size);
    if (block == nullptr) {
        return;
    }
    void* fixedInfo = nullptr;
    UINT fixedInfoSize = 0;
    if (GetFileVersionInfoA(path, 0, size, block) &&
        VerQueryValueA(block, "\\", &fixedInfo, &fixedInfoSize) && fixedInfo != nullptr &&
        fixedInfoSize >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixedInfo);
        if (versionMS != nullptr) {
            *versionMS = info->dwFileVersionMS;
        }
        if (versionLS != nullptr) {
            *versionLS = info->dwFileVersionLS;
        }
    }
    GlobalFree(block);
}

HMODULE LoadQuickTimeLibrary(const char* fileName) {
    const std::size_t nameLength = std::strlen(fileName);
    if (nameLength >= MAX_PATH) {
        return nullptr;
    }
    const std::size_t folderBudget = MAX_PATH - nameLength;
    char folder[MAX_PATH];
    if (!GetQuickTimeFolder(folder, folderBudget)) {
        return nullptr;
    }
    if (const HMODULE module = LoadLibraryFromFolder(folder, fileName)) {
        return module;
    }
    if (GetQuickTimeExtensionFolder(folder, folderBudget) == 0) {
        return nullptr;
    }
    return LoadLibraryFromFolder(folder, fileName);
}

bool GetQuickTimeFolder(char* buffer, std::size_t size) {
    if (size == 0) {
        return false;
    }
    buffer[0] = '\0';
    if (ReadLoadedLibraryFolder(buffer, size) ||
        ReadExistingRegistryFolder("QTSysDir", buffer, size) ||
        ReadExistingRegistryFolder("QuickTime.qts folder", buffer, size) ||
        ReadExistingSystemFolder(buffer, size)) {
        AppendSeparator(buffer);
        return true;
    }
    return false;
}

std::size_t GetQuickTimeExtensionFolder(char* buffer, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    ReadQuickTimeRegistryString(kQuickTimeRegistryKey, "QTExtDir", buffer, size);
    if (buffer[0] != '\0') {
        return std::strlen(buffer);
    }
    if (size <= kExtensionSubfolderLength) {
        return 0;
    }
    // Both folders get a budget that leaves room for the subfolder name.
    const std::size_t budget = size - kExtensionSubfolderLength;
    char systemFolder[MAX_PATH];
    char quickTimeFolder[MAX_PATH];
    ReadSystemDirectory(systemFolder, budget);
    if (!GetQuickTimeFolder(quickTimeFolder, budget)) {
        return 0;
    }
    AppendSeparator(systemFolder);
    std::strcpy(buffer, quickTimeFolder);
    if (std::strcmp(systemFolder, quickTimeFolder) == 0) {
        std::strcat(buffer, kExtensionSubfolder);
    }
    return std::strlen(buffer);
}

void ReadQuickTimeRegistryString(const char* key, const char* valueName, char* buffer,
                                 std::size_t size) {
    if (size == 0) {
        return;
    }
    buffer[0] = '\0';
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return;
    }
    // Read into a buffer one byte larger, so that a value stored without its terminator can be
    // terminated, then take it only when it fits with its separator.
    char text[MAX_PATH + 1];
    DWORD dataSize = static_cast<DWORD>(size < MAX_PATH ? size : MAX_PATH);
    if (RegQueryValueExA(opened, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                         &dataSize) == ERROR_SUCCESS) {
        const std::size_t length = strnlen(text, dataSize);
        text[length] = '\0';
        if (length > 0 && SizeWithSeparator(text, length) <= size) {
            std::memcpy(buffer, text, length + 1);
            AppendSeparator(buffer);
        }
    }
    RegCloseKey(opened);
}
