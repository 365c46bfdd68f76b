#include "tests/support/file_snapshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "tests/support/md5.h"

namespace tarnwick::test {
namespace {

namespace fs = std::filesystem;

// The extents of a file that hold data, as the file system reports them, each with its MD5.
std::string StoredExtents(const fs::path& path, std::uintmax_t size) {
    std::string text;
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return "unreadable";
    }
    off_t data = lseek(fd, 0, SEEK_DATA);
    while (data >= 0 && static_cast<std::uintmax_t>(data) < size) {
        off_t hole = lseek(fd, data, SEEK_HOLE);
        if (hole < 0) {
            hole = static_cast<off_t>(size);
        }
        const auto length = static_cast<std::uint64_t>(hole - data);
        text += std::to_string(data) + "+" + std::to_string(length) + ":" +
                DataHashOfRange(path, static_cast<std::uint64_t>(data), length) + " ";
        data = lseek(fd, hole, SEEK_DATA);
    }
    close(fd);
    return text;
}

std::string EntryNames(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        names.insert(entry.path().filename().string());
    }
    std::string text;
    for (const std::string& name : names) {
        text += name + " ";
    }
    return text;
}

}  // namespace

std::string FileSnapshot::Describe() const {
    return kind + (linkTarget.empty() ? "" : " via link to " + linkTarget) + ", size " +
           std::to_string(size) + ", modified at " + std::to_string(modifiedNanoseconds) +
           " ns, extents " + contents + ", entries " + entries;
}

FileSnapshot TakeSnapshot(const fs::path& path) {
    FileSnapshot snapshot;
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        snapshot.linkTarget = fs::read_symlink(path, error).string();
    }
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        snapshot.kind = "missing";
        return snapshot;
    }
    snapshot.modifiedNanoseconds =
        std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec;
    if (S_ISREG(status.st_mode)) {
        snapshot.kind = "file";
        snapshot.size = static_cast<std::uintmax_t>(status.st_size);
        snapshot.contents = StoredExtents(path, snapshot.size);
    } else if (S_ISDIR(status.st_mode)) {
        snapshot.kind = "folder";
        snapshot.entries = EntryNames(path);
    } else {
        snapshot.kind = "other";
    }
    return snapshot;
}

}  // namespace tarnwick::test
