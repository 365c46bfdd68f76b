// A folder of its own for the files a fuzz target writes, under $TMPDIR (or /tmp), removed with
// everything in it when the object goes away. libFuzzer may end the process without destroying
// static objects, so run the targets with TMPDIR set to a folder that is removed afterwards.
#pragma once

#include <string>

namespace tarnwick::fuzz {

class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The path of a file in the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace tarnwick::fuzz
