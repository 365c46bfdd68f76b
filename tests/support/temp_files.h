// Temporary folders and small file helpers for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of an entry inside the folder; parts may hold UTF-8 text.
    std::filesystem::path operator/(std::string_view utf8Name) const;

  private:
    std::filesystem::path path_;
};

// A path from UTF-8 text, and back.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void WriteFileText(const std::filesystem::path& path, std::string_view text);
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Bytes that differ from frame to frame, so that hashes tell frames apart.
std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed);

}  // namespace tarnwick::test
