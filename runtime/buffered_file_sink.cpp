#include "runtime/buffered_file_sink.h"

namespace tarnwick::runtime {

void BufferedFileSink::Write(const char* bytes, std::size_t size) {
    buffer_.append(bytes, size);
    if (buffer_.size() >= kBufferSize) {
        Flush();
    }
}

OSErr BufferedFileSink::Flush() {
    if (error_ == noErr && !buffer_.empty()) {
        error_ = file_.Write(buffer_.data(), buffer_.size());
    }
    buffer_.clear();
    return error_;
}

}  // namespace tarnwick::runtime
