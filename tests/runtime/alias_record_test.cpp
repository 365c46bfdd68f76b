// The alias record's layout, as readers (ffmpeg among them) take it apart.
#include <gtest/gtest.h>

#include <map>

#include "runtime/alias_record.h"

namespace {

using namespace tarnwick::runtime;

std::uint16_t U16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) << 8 |
                                      static_cast<unsigned char>(bytes[at + 1]));
}

std::string PascalAt(const std::string& bytes, std::size_t at) {
    return bytes.substr(at + 1, static_cast<unsigned char>(bytes[at]));
}

// The tagged extras after the fixed part, by type; fails the test when they are malformed.
std::map<std::int16_t, std::string> Extras(const std::string& record) {
    std::map<std::int16_t, std::string> extras;
    std::size_t at = 150;
    for (;;) {
        EXPECT_LE(at + 4, record.size());
        if (at + 4 > record.size()) {
            return extras;
        }
        const auto type = static_cast<std::int16_t>(U16At(record, at));
        const std::uint16_t length = U16At(record, at + 2);
        if (type == -1) {
            EXPECT_EQ(length, 0);
            EXPECT_EQ(at + 4, record.size());
            return extras;
        }
        extras[type] = record.substr(at + 4, length);
        at += 4 + length + length % 2;
    }
}

std::string Build(const std::string& path, RelativeLevels levels = {1, 1}) {
    const auto record = BuildAliasRecord(*ParseAbsolutePath(path), path, levels);
    EXPECT_TRUE(record.has_value());
    return record.value_or(std::string());
}

TEST(AliasRecord, FixedPartNamesVolumeFileAndLevels) {
    const std::string record = Build("D:\\clips.old\\take", {1, 2});
    EXPECT_EQ(U16At(record, 4), record.size());  // record size
    EXPECT_EQ(U16At(record, 6), 2);              // version
    EXPECT_EQ(U16At(record, 8), 0);              // kind: file
    EXPECT_EQ(PascalAt(record, 10), "D");
    EXPECT_EQ(PascalAt(record, 50), "take");
    EXPECT_EQ(U16At(record, 130), 1);  // levels up from the movie
    EXPECT_EQ(U16At(record, 132), 2);  // levels down to the source
}

TEST(AliasRecord, ExtrasHoldParentFolderAndPaths) {
    struct Case {
        const char* path;
        const char* parent;
        const char* hfsPath;
        const char* posixPath;  // "" when the record holds none
    };
    const Case cases[] = {
        {"D:\\clips.old\\take", "clips.old", "D:clips.old:take", ""},
        {"C:\\take.mov", "C", "C:take.mov", ""},
        {"/home/u/März/take.mov", "März", "Root:home:u:März:take.mov", "/home/u/März/take.mov"},
        {"/a/b:c/d:e.mov", "b/c", "Root:a:b/c:d/e.mov", "/a/b:c/d:e.mov"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto extras = Extras(Build(c.path));
        EXPECT_EQ(extras.at(0), c.parent);
        EXPECT_EQ(extras.at(2), c.hfsPath);
        EXPECT_EQ(extras.count(18) ? extras.at(18) : "", c.posixPath);
    }
}

TEST(AliasRecord, LongFileNameIsCutBeforeACharacterNotInsideIt) {
    const std::string name = std::string(62, 'a') + "é.mov";  // é straddles byte 63
    const std::string record = Build("/clips/" + name);
    EXPECT_EQ(PascalAt(record, 50), std::string(62, 'a'));
    EXPECT_EQ(Extras(record).at(2), "Root:clips:" + name);
}

TEST(AliasRecord, PathTooLongForTheRecordIsRefused) {
    const std::string path = "/" + std::string(70000, 'a') + "/take.mov";
    EXPECT_FALSE(BuildAliasRecord(*ParseAbsolutePath(path), path, {1, 1}).has_value());
}

}  // namespace
