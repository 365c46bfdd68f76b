// MD5 as RFC 1321 defines it.
#include "tests/support/md5.h"

#include <array>
#include <bit>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace tarnwick::test {
namespace {

constexpr std::array<int, 64> kShifts = {
    7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
    14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
    4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

std::array<std::uint32_t, 64> SineTable() {
    std::array<std::uint32_t, 64> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = static_cast<std::uint32_t>(
            std::floor(std::fabs(std::sin(static_cast<double>(i + 1))) * 4294967296.0));
    }
    return table;
}

class Md5 {
  public:
    void Update(const std::uint8_t* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            block_[blockUsed_++] = data[i];
            if (blockUsed_ == block_.size()) {
                Compress();
                blockUsed_ = 0;
            }
        }
        length_ += size;
    }

    std::string FinishHex() {
        const std::uint64_t bitLength = length_ * 8;
        const std::uint8_t one = 0x80;
        Update(&one, 1);
        const std::uint8_t zero = 0;
        while (blockUsed_ != 56) {
            Update(&zero, 1);
        }
        for (int i = 0; i < 8; ++i) {
            const auto byte = static_cast<std::uint8_t>(bitLength >> (8 * i));
            Update(&byte, 1);
        }
        static const char kDigits[] = "0123456789abcdef";
        std::string hex;
        for (std::uint32_t word : state_) {
            for (int i = 0; i < 4; ++i) {
                const auto byte = static_cast<std::uint8_t>(word >> (8 * i));
                hex += kDigits[byte >> 4];
                hex += kDigits[byte & 15];
            }
        }
        return hex;
    }

  private:
    void Compress() {
        static const std::array<std::uint32_t, 64> kSines = SineTable();
        std::array<std::uint32_t, 16> m{};
        for (std::size_t i = 0; i < m.size(); ++i) {
            m[i] = static_cast<std::uint32_t>(block_[4 * i]) |
                   static_cast<std::uint32_t>(block_[4 * i + 1]) << 8 |
                   static_cast<std::uint32_t>(block_[4 * i + 2]) << 16 |
                   static_cast<std::uint32_t>(block_[4 * i + 3]) << 24;
        }
        std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
        for (std::size_t i = 0; i < 64; ++i) {
            std::uint32_t f;
            std::size_t g;
            if (i < 16) {
                f = (b & c) | (~b & d);
                g = i;
            } else if (i < 32) {
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
            } else {
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
            }
            const std::uint32_t rotated = std::rotl(a + f + kSines[i] + m[g], kShifts[i]);
            a = d;
            d = c;
            c = b;
            b = b + rotated;
        }
        state_[0] += a;
        state_[1] += b;
        state_[2] += c;
        state_[3] += d;
    }

    std::array<std::uint32_t, 4> state_ = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockUsed_ = 0;
    std::uint64_t length_ = 0;
};

}  // namespace

std::string Md5Hex(const std::uint8_t* data, std::size_t size) {
    Md5 md5;
    md5.Update(data, size);
    return md5.FinishHex();
}

std::string Md5Hex(const std::vector<std::uint8_t>& bytes) {
    return Md5Hex(bytes.data(), bytes.size());
}

std::string DataHashOfRange(const std::filesystem::path& file, std::uint64_t offset,
                            std::uint64_t size) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    Md5 md5;
    std::vector<char> buffer(1 << 16);
    while (size > 0 && in) {
        const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer.size()));
        in.read(buffer.data(), static_cast<std::streamsize>(chunk));
        const auto got = static_cast<std::size_t>(in.gcount());
        md5.Update(reinterpret_cast<const std::uint8_t*>(buffer.data()), got);
        size -= got;
    }
    if (size != 0) {
        throw std::runtime_error("range lies beyond the end of " + file.string());
    }
    return "MD5:" + md5.FinishHex();
}

}  // namespace tarnwick::test
