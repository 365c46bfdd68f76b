#include "bitstream/file_stream.h"

#include <sys/stat.h>
#include <sys/types.h>

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
