#include "bitstream/file_stream.h"

#include <sys/stat.h>
#include <sys/types.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

int SeekStream(std::FILE* stream, std::int64_t offset, int origin) {
#ifdef _WIN32
    return _fseeki64(stream, offset, origin);
#else
    return fseeko(stream, static_cast<off_t>(offset), origin);
#endif
}

std::int64_t TellStream(std::FILE* stream) {
#ifdef _WIN32
    return _ftelli64(stream);
#else
    return static_cast<std::int64_t>(ftello(stream));
#endif
}

namespace {

bool IsScannableFile(std::FILE* stream) {
#ifdef _WIN32
    struct _stat64 status;
    if (_fstat64(_fileno(stream), &status) != 0) {
        return false;
    }
#else
    struct stat status;
    if (fstat(fileno(stream), &status) != 0) {
        return false;
    }
#endif
#ifdef S_ISBLK
    if (S_ISBLK(status.st_mode)) {
        return true;
    }
#endif
    return S_ISREG(status.st_mode);
}

}  // namespace

std::FILE* OpenScannableFile(const char* path) {
#ifdef _WIN32
    std::FILE* stream = std::fopen(path, "rb");
#else
    // Without O_NONBLOCK the open of a named pipe waits for a writer; the flag is cleared again
    // once the file is known to be one that can be scanned.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* stream = fdopen(fd, "rb");
    if (stream == nullptr) {
        close(fd);
        return nullptr;
    }
#endif
    if (!IsScannableFile(stream)) {
        std::fclose(stream);
        return nullptr;
    }
#ifndef _WIN32
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
#endif
    return stream;
}
