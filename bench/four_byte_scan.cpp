// The baseline the whole-run benchmark compares against: the frame scan done literally, one
// 4-byte stream read per word through the stream's default buffering, over the whole file in
// the repair job's order. Prints the number of frames found.
//
//   four_byte_scan FILE
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const unsigned char kStart[4] = {0x00, 0x01, 0x00, 0x09};
const unsigned char kEnd1[4] = {0x00, 0x04, 0x0C, 0x0C};
const unsigned char kEnd2[4] = {0x00, 0x18, 0x00, 0x00};

bool Is(const unsigned char* word, const unsigned char* signature) {
    return std::memcmp(word, signature, 4) == 0;
}

bool FindNextFrame(std::FILE* file, std::int64_t offset, std::int64_t& end) {
    fseeko(file, offset, SEEK_SET);
    bool inFrame = false;
    unsigned char word[4];
    while (std::fread(word, 1, 4, file) == 4) {
        if (!inFrame) {
            inFrame = Is(word, kStart);
        } else if (Is(word, kEnd1)) {
            if (std::fread(word, 1, 4, file) != 4) {
                return false;
            }
            if (Is(word, kEnd2)) {
                end = ftello(file);
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: four_byte_scan FILE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::int64_t end = 0;
    std::uint64_t frames = 0;
    while (FindNextFrame(file, end, end)) {
        ++frames;
    }
    std::fclose(file);
    std::printf("%llu frames\n", static_cast<unsigned long long>(frames));
    return 0;
}
