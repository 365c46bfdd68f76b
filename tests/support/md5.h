// MD5 digests in the form ffprobe reports them ("MD5:" and 32 lower-case hex digits).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::test {

std::string Md5Hex(const std::uint8_t* data, std::size_t size);
std::string Md5Hex(const std::vector<std::uint8_t>& bytes);

// "MD5:<hex>" of `size` bytes of a file starting at `offset`, as ffprobe's -show_data_hash MD5
// prints for a packet read from there.
std::string DataHashOfRange(const std::filesystem::path& file, std::uint64_t offset,
                            std::uint64_t size);

}  // namespace tarnwick::test
