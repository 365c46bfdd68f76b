// A source file for one test, alone in a fresh temporary folder that goes away with it.
#pragma once

#include <filesystem>
#include <string>

#include "byte_layout.h"
#include "tests/support/temp_files.h"

class TempSource {
  public:
    explicit TempSource(const Bytes& content = {}) : path_((folder_ / "take.mov").string()) {
        tarnwick::test::WriteFileBytes(path_, content);
    }

    const char* path() const { return path_.c_str(); }
    const std::filesystem::path& folder() const { return folder_.path(); }

  private:
    tarnwick::test::TempDir folder_;
    std::string path_;
};
