// A source file written for one test in a folder of its own, removed afterwards.
#pragma once

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "byte_layout.h"

class TempSource {
  public:
    explicit TempSource(const Bytes& content = {}) {
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarnwick-bitstream-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directory(folder_);
        path_ = (folder_ / "take.mov").string();
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (file != nullptr) {
            if (!content.empty()) {
                std::fwrite(content.data(), 1, content.size(), file);
            }
            std::fclose(file);
        }
    }
    ~TempSource() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TempSource(const TempSource&) = delete;
    TempSource& operator=(const TempSource&) = delete;

    const char* path() const { return path_.c_str(); }
    const std::filesystem::path& folder() const { return folder_; }

  private:
    std::filesystem::path folder_;
    std::string path_;
};
