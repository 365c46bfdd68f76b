#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/file_system.h"

namespace tarnwick::runtime {
namespace {

OSErr ErrorFromErrno(int number) {
    switch (number) {
        case EEXIST:
            return dupFNErr;
        case ENOENT:
        case ENOTDIR:
            return dirNFErr;
        case EACCES:
        case EPERM:
        case EROFS:
            return permErr;
        case EISDIR:
            return notAFileErr;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return dskFulErr;
        case ENOMEM:
            return memFullErr;
        default:
            return ioErr;
    }
}

class PosixNewFile : public NewFile {
  public:
    explicit PosixNewFile(int fd) : fd_(fd) {}
    ~PosixNewFile() override {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    OSErr Write(const char* bytes, std::size_t size) override {
        while (size > 0) {
            const ssize_t written = write(fd_, bytes, size);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return written == 0 ? dskFulErr : ErrorFromErrno(errno);
            }
            bytes += written;
            size -= static_cast<std::size_t>(written);
        }
        return noErr;
    }

    OSErr Finish() override {
        const bool synced = fsync(fd_) == 0;
        const int syncError = errno;
        const bool closed = close(fd_) == 0;
        const int closeError = errno;
        fd_ = -1;
        if (!synced) {
            return ErrorFromErrno(syncError);
        }
        return closed ? noErr : ErrorFromErrno(closeError);
    }

  private:
    int fd_;
};

}  // namespace

EntryKind LookUpEntry(const std::string& path) {
    struct stat status;
    if (lstat(path.c_str(), &status) != 0) {
        return EntryKind::Missing;
    }
    if (S_ISLNK(status.st_mode)) {
        return EntryKind::Link;
    }
    if (S_ISDIR(status.st_mode)) {
        return EntryKind::Folder;
    }
    return S_ISREG(status.st_mode) ? EntryKind::File : EntryKind::Other;
}

std::unique_ptr<NewFile> CreateNewFile(const std::string& path, OSErr& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = ErrorFromErrno(errno);
        return nullptr;
    }
    error = noErr;
    return std::make_unique<PosixNewFile>(fd);
}

OSErr RenameFile(const std::string& from, const std::string& to, bool replace) {
    if (replace) {
        return rename(from.c_str(), to.c_str()) == 0 ? noErr : ErrorFromErrno(errno);
    }
    // link() refuses an existing name, so nothing of that name can be replaced.
    if (link(from.c_str(), to.c_str()) != 0) {
        return ErrorFromErrno(errno);
    }
    unlink(from.c_str());
    return noErr;
}

void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}

}  // namespace tarnwick::runtime
