#include "runtime/alias_record.h"

#include <cstdint>
#include <limits>

#include "runtime/big_endian.h"

namespace tarnwick::runtime {
namespace {

constexpr std::uint16_t kAliasVersion = 2;
constexpr std::uint16_t kKindFile = 0;
constexpr std::size_t kVolumeNameBytes = 27;
constexpr std::size_t kFileNameBytes = 63;
constexpr std::size_t kFixedPartSize = 150;

constexpr std::int16_t kExtraParentFolderName = 0;
constexpr std::int16_t kExtraAbsolutePath = 2;
constexpr std::int16_t kExtraPosixPath = 18;
constexpr std::int16_t kExtraEnd = -1;

// At most maxBytes of UTF-8 text, cut before a character rather than inside one.
std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return text.substr(0, cut);
}

// HFS names use ':' as separator; a ':' within a name is written as '/'.
std::string HfsName(std::string name) {
    for (char& c : name) {
        if (c == ':') {
            c = '/';
        }
    }
    return name;
}

std::string HfsPath(const std::string& volume, const PathLocation& target) {
    std::string path = volume;
    for (const std::string& folder : target.folders) {
        path += ':' + HfsName(folder);
    }
    return path + ':' + HfsName(target.name);
}

// A fixed-width Pascal string field: length byte, text, zero padding.
void PutPascalField(BigEndianWriter& out, const std::string& text, std::size_t width) {
    out.U8(static_cast<std::uint8_t>(text.size()));
    out.Text(text);
    out.Zeros(width - text.size());
}

struct Extra {
    std::int16_t type;
    std::string data;
};

bool PutExtras(BigEndianWriter& out, const std::vector<Extra>& extras) {
    for (const Extra& extra : extras) {
        if (extra.data.size() > std::numeric_limits<std::uint16_t>::max() - 1) {
            return false;
        }
        out.U16(static_cast<std::uint16_t>(extra.type));
        out.U16(static_cast<std::uint16_t>(extra.data.size()));
        out.Text(extra.data);
        out.Zeros(extra.data.size() % 2);
    }
    out.U16(static_cast<std::uint16_t>(kExtraEnd));
    out.U16(0);
    return true;
}

}  // namespace

std::optional<std::string> BuildAliasRecord(const PathLocation& target,
                                            const std::string& targetPath, RelativeLevels levels) {
    const std::string volume = HfsName(CutUtf8(target.volume, kVolumeNameBytes));
    const std::string parentName = target.folders.empty() ? volume : HfsName(target.folders.back());
    std::vector<Extra> extras = {{kExtraParentFolderName, parentName},
                                 {kExtraAbsolutePath, HfsPath(volume, target)}};
    if (target.syntax == PathSyntax::Posix) {
        extras.push_back({kExtraPosixPath, targetPath});
    }

    std::string record;
    StringSink sink(record);
    BigEndianWriter out(sink);
    out.U32(0);  // creator: no application owns the record
    out.U16(0);  // record size, set below
    out.U16(kAliasVersion);
    out.U16(kKindFile);
    PutPascalField(out, volume, kVolumeNameBytes);
    out.U32(0);  // volume creation date
    out.U16(0);  // file system signature
    out.U16(0);  // disk type: fixed disk
    out.U32(0);  // parent folder id
    PutPascalField(out, HfsName(CutUtf8(target.name, kFileNameBytes)), kFileNameBytes);
    out.U32(0);  // file number
    out.U32(0);  // file creation date
    out.U32(0);  // file type
    out.U32(0);  // file creator
    out.U16(levels.up);
    out.U16(levels.down);
    out.U32(0);     // volume attributes
    out.U16(0);     // volume file system id
    out.Zeros(10);  // reserved
    if (record.size() != kFixedPartSize || !PutExtras(out, extras) ||
        record.size() > std::numeric_limits<std::uint16_t>::max()) {
        return std::nullopt;
    }
    record[4] = static_cast<char>(record.size() >> 8);
    record[5] = static_cast<char>(record.size() & 0xFF);
    return record;
}

}  // namespace tarnwick::runtime
