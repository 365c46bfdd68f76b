#include "fuzz/stored_movie_reader.h"

#include <fstream>
#include <iterator>

namespace tarnwick::fuzz {
namespace {

// A bounded run of big-endian bytes; every read fails once the run is exhausted.
class Cursor {
  public:
    Cursor() = default;
    Cursor(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return size_ == 0; }
    bool Skip(std::size_t count) {
        if (count > size_) {
            return false;
        }
        data_ += count;
        size_ -= count;
        return true;
    }
    bool U32(std::uint32_t& value) {
        std::uint64_t wide = 0;
        return Bytes(4, wide) && (value = static_cast<std::uint32_t>(wide), true);
    }
    bool U64(std::uint64_t& value) { return Bytes(8, value); }
    // The next count bytes as a cursor of their own.
    bool Take(std::size_t count, Cursor& part) {
        if (count > size_) {
            return false;
        }
        part = Cursor(data_, count);
        return Skip(count);
    }

  private:
    bool Bytes(std::size_t count, std::uint64_t& value) {
        if (count > size_) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            value = (value << 8) | data_[i];
        }
        return Skip(count);
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

constexpr std::uint32_t Type(const char (&name)[5]) {
    return (std::uint32_t{static_cast<std::uint8_t>(name[0])} << 24) |
           (std::uint32_t{static_cast<std::uint8_t>(name[1])} << 16) |
           (std::uint32_t{static_cast<std::uint8_t>(name[2])} << 8) |
           std::uint32_t{static_cast<std::uint8_t>(name[3])};
}

// The body of the first atom of the given type among the atoms in atoms.
std::optional<Cursor> Child(Cursor atoms, std::uint32_t wanted) {
    while (!atoms.Empty()) {
        std::uint32_t size32 = 0;
        std::uint32_t type = 0;
        if (!atoms.U32(size32) || !atoms.U32(type)) {
            return std::nullopt;
        }
        std::uint64_t size = size32;
        std::uint64_t header = 8;
        if (size32 == 1) {
            if (!atoms.U64(size)) {
                return std::nullopt;
            }
            header = 16;
        }
        Cursor body;
        if (size < header || !atoms.Take(static_cast<std::size_t>(size - header), body)) {
            return std::nullopt;
        }
        if (type == wanted) {
            return body;
        }
    }
    return std::nullopt;
}

// The body found by following the path of atom types from atoms.
std::optional<Cursor> Descend(Cursor atoms, std::initializer_list<std::uint32_t> path) {
    std::optional<Cursor> at = atoms;
    for (std::uint32_t type : path) {
        if (!at || !(at = Child(*at, type))) {
            return std::nullopt;
        }
    }
    return at;
}

// A table's entries after its version, flags and count; false when it is cut short.
template <typename ReadEntry>
bool ReadTable(std::optional<Cursor> table, ReadEntry&& readEntry) {
    std::uint32_t count = 0;
    if (!table || !table->Skip(4) || !table->U32(count)) {
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!readEntry(*table)) {
            return false;
        }
    }
    return table->Empty();
}

bool ReadMediaHeader(std::optional<Cursor> header, StoredMedia& media) {
    std::uint32_t versionAndFlags = 0;
    if (!header || !header->U32(versionAndFlags)) {
        return false;
    }
    if (versionAndFlags >> 24 == 1) {
        return header->Skip(16) && header->U32(media.timeScale) && header->U64(media.duration);
    }
    std::uint32_t duration = 0;
    const bool read = header->Skip(8) && header->U32(media.timeScale) && header->U32(duration);
    media.duration = duration;
    return read;
}

// Sizes from stsz: one common size, or one entry per sample.
bool ReadSizes(std::optional<Cursor> table, std::vector<StoredSample>& samples) {
    std::uint32_t common = 0;
    std::uint32_t count = 0;
    if (!table || !table->Skip(4) || !table->U32(common) || !table->U32(count)) {
        return false;
    }
    samples.resize(count);
    for (StoredSample& sample : samples) {
        sample.size = common;
        if (common == 0 && !table->U32(sample.size)) {
            return false;
        }
    }
    return table->Empty();
}

bool ReadDurations(std::optional<Cursor> table, std::vector<StoredSample>& samples) {
    std::size_t next = 0;
    return ReadTable(table,
                     [&](Cursor& entries) {
                         std::uint32_t count = 0;
                         std::uint32_t duration = 0;
                         if (!entries.U32(count) || !entries.U32(duration) ||
                             count > samples.size() - next) {
                             return false;
                         }
                         for (std::uint32_t i = 0; i < count; ++i) {
                             samples[next++].duration = duration;
                         }
                         return true;
                     }) &&
           next == samples.size();
}

// Without stss every sample is sync; with it, only those it lists.
bool ReadSync(std::optional<Cursor> table, std::vector<StoredSample>& samples) {
    if (!table) {
        return true;
    }
    for (StoredSample& sample : samples) {
        sample.sync = false;
    }
    std::uint32_t last = 0;
    return ReadTable(table, [&](Cursor& entries) {
        std::uint32_t number = 0;
        if (!entries.U32(number) || number <= last || number > samples.size()) {
            return false;
        }
        samples[number - 1].sync = true;
        last = number;
        return true;
    });
}

struct ChunkRun {
    std::uint32_t firstChunk;
    std::uint32_t samplesPerChunk;
};

// Offsets from co64 and stsc: each chunk's samples lie back to back from the chunk's offset.
bool ReadOffsets(std::optional<Cursor> chunkTable, std::optional<Cursor> offsetTable,
                 std::vector<StoredSample>& samples) {
    std::vector<ChunkRun> runs;
    if (!ReadTable(chunkTable, [&](Cursor& entries) {
            ChunkRun run{};
            std::uint32_t description = 0;
            const bool read = entries.U32(run.firstChunk) && entries.U32(run.samplesPerChunk) &&
                              entries.U32(description);
            const std::uint32_t after = runs.empty() ? 0 : runs.back().firstChunk;
            runs.push_back(run);
            return read && run.firstChunk > after && description == 1;
        })) {
        return false;
    }
    if (!runs.empty() && runs.front().firstChunk != 1) {
        return false;
    }
    std::size_t next = 0;
    std::size_t run = 0;
    std::uint32_t chunk = 0;
    return ReadTable(offsetTable,
                     [&](Cursor& entries) {
                         std::uint64_t offset = 0;
                         if (!entries.U64(offset)) {
                             return false;
                         }
                         ++chunk;
                         while (run + 1 < runs.size() && runs[run + 1].firstChunk <= chunk) {
                             ++run;
                         }
                         if (runs.empty() || runs[run].samplesPerChunk > samples.size() - next) {
                             return false;
                         }
                         for (std::uint32_t i = 0; i < runs[run].samplesPerChunk; ++i) {
                             samples[next].offset = offset;
                             offset += samples[next++].size;
                         }
                         return true;
                     }) &&
           next == samples.size();
}

}  // namespace

std::optional<StoredMedia> ReadStoredMedia(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    const Cursor whole(file.data(), file.size());
    const std::optional<Cursor> media = Descend(whole, {Type("moov"), Type("trak"), Type("mdia")});
    const std::optional<Cursor> tables =
        Descend(whole, {Type("moov"), Type("trak"), Type("mdia"), Type("minf"), Type("stbl")});
    StoredMedia stored;
    if (!media || !tables || !ReadMediaHeader(Child(*media, Type("mdhd")), stored) ||
        !ReadSizes(Child(*tables, Type("stsz")), stored.samples) ||
        !ReadDurations(Child(*tables, Type("stts")), stored.samples) ||
        !ReadSync(Child(*tables, Type("stss")), stored.samples) ||
        !ReadOffsets(Child(*tables, Type("stsc")), Child(*tables, Type("co64")), stored.samples)) {
        return std::nullopt;
    }
    return stored;
}

}  // namespace tarnwick::fuzz
