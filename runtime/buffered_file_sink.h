// A byte sink that collects bytes into large writes to a new file and keeps the first error.
#pragma once

#include <string>

#include "runtime/big_endian.h"
#include "runtime/file_system.h"

namespace tarnwick::runtime {

class BufferedFileSink : public ByteSink {
  public:
    explicit BufferedFileSink(NewFile& file) : file_(file) {}

    void Write(const char* bytes, std::size_t size) override;
    // Writes what is buffered; the first error of any write so far, or noErr.
    OSErr Flush();

  private:
    static constexpr std::size_t kBufferSize = 1 << 16;

    NewFile& file_;
    std::string buffer_;
    OSErr error_ = noErr;
};

}  // namespace tarnwick::runtime
