// Writes a damaged movie for trying and testing the tool: Vellix frames with their frame headers
// inside the remains of a QuickTime movie whose index is gone, with junk between the frames.
//
//   make_damaged_movie OUTPUT [--frames N] [--frame-bytes B] [--header-width W]
//                             [--header-height H] [--no-header] [--junk-bytes J]
//                             [--gap-before GAP] [--seed S] [--manifest FILE]
//
// --gap-before leaves a hole of GAP bytes before the first frame (a sparse file, for frames past
// 4 GiB). --manifest writes one line "start end" per frame, in file order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string output;
    std::string manifest;
    std::uint64_t frames = 8;
    std::uint64_t frameBytes = 4096;
    std::uint16_t headerWidth = 960;
    std::uint16_t headerHeight = 544;
    bool header = true;
    std::uint64_t junkBytes = 100;
    std::uint64_t gapBefore = 0;
    std::uint32_t seed = 1;
};

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t kStartWord = 0x00010009;
constexpr std::uint32_t kFirstEndWord = 0x00040C0C;
constexpr std::uint32_t kSecondEndWord = 0x00180000;
// Smallest frame with a header: start word, six header words, the end signature.
constexpr std::uint64_t kSmallestFrame = 36;

void PutWord(Bytes& bytes, std::uint32_t word) {
    bytes.insert(bytes.end(),
                 {static_cast<unsigned char>(word >> 24), static_cast<unsigned char>(word >> 16),
                  static_cast<unsigned char>(word >> 8), static_cast<unsigned char>(word)});
}

std::uint32_t TagWord(std::int16_t tag, std::uint16_t value) {
    return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(tag)) << 16) | value;
}

// Random words that never form a signature where the scanner could see one.
void PutNoise(Bytes& bytes, std::uint64_t count, std::mt19937& random) {
    for (std::uint64_t i = 0; i < count / 4; ++i) {
        std::uint32_t word = random();
        if (word == kStartWord || word == kFirstEndWord) {
            word ^= 0x80000000u;
        }
        PutWord(bytes, word);
    }
    for (std::uint64_t i = 0; i < count % 4; ++i) {
        bytes.push_back(static_cast<unsigned char>(random() | 0x80));
    }
}

// A frame: the start word, the frame header (a counted payload, the size in tags 20 and 21, an
// optional tag, the header's end), picture data, and the end signature.
Bytes MakeFrame(const Options& options, std::mt19937& random) {
    Bytes frame;
    PutWord(frame, kStartWord);
    if (options.header) {
        PutWord(frame, TagWord(2, 1));
        PutWord(frame, 0x12345678);
        PutWord(frame, TagWord(20, options.headerWidth));
        PutWord(frame, TagWord(21, options.headerHeight));
        PutWord(frame, TagWord(-30, 7));
        PutWord(frame, TagWord(18, 0));
    }
    std::uint64_t used = frame.size() + 8;
    PutNoise(frame, options.frameBytes > used ? options.frameBytes - used : 0, random);
    PutWord(frame, kFirstEndWord);
    PutWord(frame, kSecondEndWord);
    return frame;
}

// What is left of a movie's opening: a file type atom, then the media data atom whose size was
// never written.
Bytes MovieOpening() {
    Bytes bytes;
    PutWord(bytes, 20);
    for (const char* word : {"ftyp", "qt  "}) {
        bytes.insert(bytes.end(), word, word + 4);
    }
    PutWord(bytes, 0x20050300);
    bytes.insert(bytes.end(), {'q', 't', ' ', ' '});
    PutWord(bytes, 0);
    bytes.insert(bytes.end(), {'m', 'd', 'a', 't'});
    return bytes;
}

// The torn start of an index: a movie atom header and a few words of garbage.
Bytes TornIndex(std::mt19937& random) {
    Bytes bytes;
    PutWord(bytes, 0x00100000);
    bytes.insert(bytes.end(), {'m', 'o', 'o', 'v'});
    PutNoise(bytes, 22, random);
    return bytes;
}

// Reads one option with its value; false for an unknown name.
bool SetOption(Options& options, const std::string& name, const char* value) {
    std::uint64_t number = std::strtoull(value, nullptr, 0);
    if (name == "--frames") {
        options.frames = number;
    } else if (name == "--frame-bytes") {
        options.frameBytes = number < kSmallestFrame ? kSmallestFrame : number & ~3ull;
    } else if (name == "--header-width") {
        options.headerWidth = static_cast<std::uint16_t>(number);
    } else if (name == "--header-height") {
        options.headerHeight = static_cast<std::uint16_t>(number);
    } else if (name == "--junk-bytes") {
        options.junkBytes = number & ~3ull;
    } else if (name == "--gap-before") {
        options.gapBefore = number & ~3ull;
    } else if (name == "--seed") {
        options.seed = static_cast<std::uint32_t>(number);
    } else if (name == "--manifest") {
        options.manifest = value;
    } else {
        return false;
    }
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 2) {
        return false;
    }
    options.output = argv[1];
    for (int i = 2; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "--no-header") {
            options.header = false;
        } else if (i + 1 >= argc || !SetOption(options, name, argv[++i])) {
            return false;
        }
    }
    return true;
}

bool Write(std::FILE* file, const Bytes& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

std::uint64_t Position(std::FILE* file) {
    return static_cast<std::uint64_t>(ftello(file));
}

// Between the first two frames lie zero words, which a frame-header search passes over; between
// later frames, noise.
bool WriteFrames(std::FILE* file, std::FILE* manifest, const Options& options,
                 std::mt19937& random) {
    for (std::uint64_t i = 0; i < options.frames; ++i) {
        Bytes frame = MakeFrame(options, random);
        std::uint64_t start = Position(file);
        if (!Write(file, frame)) {
            return false;
        }
        if (manifest != nullptr) {
            std::fprintf(manifest, "%llu %llu\n", static_cast<unsigned long long>(start),
                         static_cast<unsigned long long>(start + frame.size()));
        }
        Bytes junk;
        if (i == 0) {
            junk.resize(options.junkBytes, 0);
        } else if (i % 3 == 1) {
            PutNoise(junk, options.junkBytes, random);
        }
        if (!Write(file, junk)) {
            return false;
        }
    }
    return true;
}

bool WriteMovie(const Options& options) {
    std::FILE* file = std::fopen(options.output.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::FILE* manifest = nullptr;
    if (!options.manifest.empty()) {
        manifest = std::fopen(options.manifest.c_str(), "w");
    }
    std::mt19937 random(options.seed);
    bool ok = Write(file, MovieOpening()) &&
              fseeko(file, static_cast<off_t>(options.gapBefore), SEEK_CUR) == 0 &&
              WriteFrames(file, manifest, options, random) && Write(file, TornIndex(random));
    if (manifest != nullptr) {
        ok = std::fclose(manifest) == 0 && ok;
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: make_damaged_movie OUTPUT [--frames N] [--frame-bytes B] "
                     "[--header-width W] [--header-height H] [--junk-bytes J] [--gap-before GAP] "
                     "[--seed S] [--manifest FILE] [--no-header]\n");
        return 2;
    }
    if (!WriteMovie(options)) {
        std::fprintf(stderr, "make_damaged_movie: could not write %s\n", options.output.c_str());
        return 1;
    }
    return 0;
}
