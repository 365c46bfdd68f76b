#include <windows.h>

#include <string>

#include "runtime/errors.h"
#include "runtime/file_system.h"

namespace tarnwick::runtime {
namespace {

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        wide.data(), length);
    return wide;
}

OSErr ErrorFromLastError(DWORD number) {
    switch (number) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return dupFNErr;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return dirNFErr;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
            return permErr;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return dskFulErr;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return memFullErr;
        default:
            return ioErr;
    }
}

class WindowsNewFile : public NewFile {
  public:
    explicit WindowsNewFile(HANDLE file) : file_(file) {}
    ~WindowsNewFile() override {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
        }
    }

    OSErr Write(const char* bytes, std::size_t size) override {
        while (size > 0) {
            const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!WriteFile(file_, bytes, chunk, &written, nullptr)) {
                return ErrorFromLastError(GetLastError());
            }
            if (written == 0) {
                return dskFulErr;
            }
            bytes += written;
            size -= written;
        }
        return noErr;
    }

    OSErr Finish() override {
        const bool flushed = FlushFileBuffers(file_) != 0;
        const DWORD flushError = GetLastError();
        const bool closed = CloseHandle(file_) != 0;
        const DWORD closeError = GetLastError();
        file_ = INVALID_HANDLE_VALUE;
        if (!flushed) {
            return ErrorFromLastError(flushError);
        }
        return closed ? noErr : ErrorFromLastError(closeError);
    }

  private:
    HANDLE file_;
};

}  // namespace

EntryKind LookUpEntry(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return EntryKind::Missing;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return EntryKind::Link;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
}

std::unique_ptr<NewFile> CreateNewFile(const std::string& path, OSErr& error) {
    // CREATE_NEW fails on any existing name, a link included, so no link is followed.
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = ErrorFromLastError(GetLastError());
        return nullptr;
    }
    error = noErr;
    return std::make_unique<WindowsNewFile>(file);
}

OSErr RenameFile(const std::string& from, const std::string& to, bool replace) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(), flags)) {
        return ErrorFromLastError(GetLastError());
    }
    return noErr;
}

void RemoveFile(const std::string& path) {
    DeleteFileW(WideFromUtf8(path).c_str());
}

}  // namespace tarnwick::runtime
