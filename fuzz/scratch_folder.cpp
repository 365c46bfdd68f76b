#include "fuzz/scratch_folder.h"

#include <stdlib.h>

#include <filesystem>

#include "fuzz/check.h"

namespace tarnwick::fuzz {

ScratchFolder::ScratchFolder(const std::string& name) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/" + name + "-XXXXXX";
    Check(mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace tarnwick::fuzz
