#include "app/same_file.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace {

std::filesystem::path FromUtf8(const char* path) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(path)));
}

}  // namespace

bool NamesSameFile(const char* pathA, const char* pathB) {
    std::error_code error;
    return std::filesystem::equivalent(FromUtf8(pathA), FromUtf8(pathB), error);
}
