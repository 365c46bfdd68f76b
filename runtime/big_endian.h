// Writing big-endian values (the byte order of the QuickTime File Format) to a byte sink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::runtime {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(const char* bytes, std::size_t size) = 0;
};

// Appends to a string held elsewhere.
class StringSink : public ByteSink {
  public:
    explicit StringSink(std::string& bytes) : bytes_(bytes) {}
    void Write(const char* bytes, std::size_t size) override { bytes_.append(bytes, size); }

  private:
    std::string& bytes_;
};

class BigEndianWriter {
  public:
    explicit BigEndianWriter(ByteSink& sink) : sink_(sink) {}

    void U8(std::uint8_t value) { Put(value, 1); }
    void U16(std::uint16_t value) { Put(value, 2); }
    void U32(std::uint32_t value) { Put(value, 4); }
    void U64(std::uint64_t value) { Put(value, 8); }
    void Text(std::string_view bytes) { sink_.Write(bytes.data(), bytes.size()); }
    void Zeros(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            U8(0);
        }
    }

  private:
    void Put(std::uint64_t value, int width) {
        char bytes[8];
        for (int i = 0; i < width; ++i) {
            bytes[i] = static_cast<char>(value >> (8 * (width - 1 - i)));
        }
        sink_.Write(bytes, static_cast<std::size_t>(width));
    }

    ByteSink& sink_;
};

}  // namespace tarnwick::runtime
