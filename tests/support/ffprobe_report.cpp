#include "tests/support/ffprobe_report.h"

#include <nlohmann/json.hpp>

#include "tests/support/run_program.h"
#include "tests/support/temp_files.h"

namespace tarnwick::test {
namespace {

using nlohmann::json;

// ffprobe prints some numbers as strings ("pos": "1234"); accept both.
std::int64_t NumberField(const json& object, const char* name, std::int64_t absent) {
    const auto found = object.find(name);
    if (found == object.end()) {
        return absent;
    }
    if (found->is_number()) {
        return found->get<std::int64_t>();
    }
    if (found->is_string()) {
        return std::stoll(found->get<std::string>());
    }
    return absent;
}

std::string TextField(const json& object, const char* name) {
    const auto found = object.find(name);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

ProbedStream ParseStream(const json& stream) {
    ProbedStream parsed;
    parsed.codecType = TextField(stream, "codec_type");
    parsed.codecTagString = TextField(stream, "codec_tag_string");
    parsed.width = static_cast<int>(NumberField(stream, "width", 0));
    parsed.height = static_cast<int>(NumberField(stream, "height", 0));
    parsed.timeBase = TextField(stream, "time_base");
    return parsed;
}

ProbedPacket ParsePacket(const json& packet) {
    ProbedPacket parsed;
    parsed.pos = NumberField(packet, "pos", -1);
    parsed.size = NumberField(packet, "size", 0);
    parsed.duration = NumberField(packet, "duration", 0);
    parsed.key = TextField(packet, "flags").starts_with('K');
    parsed.dataHash = TextField(packet, "data_hash");
    return parsed;
}

}  // namespace

ProbeReport ProbeMovie(const std::filesystem::path& movie) {
    ProbeReport report;
    const ProgramResult run =
        RunProgram({"ffprobe", "-v", "error", "-enable_drefs", "1", "-show_streams",
                    "-show_packets", "-show_data_hash", "MD5", "-of", "json", Utf8FromPath(movie)});
    report.output = run.output;
    if (run.exitCode != 0) {
        return report;
    }
    const json document = json::parse(run.output, nullptr, false);
    if (document.is_discarded()) {
        return report;
    }
    for (const auto& stream : document.value("streams", json::array())) {
        report.streams.push_back(ParseStream(stream));
    }
    for (const auto& packet : document.value("packets", json::array())) {
        report.packets.push_back(ParsePacket(packet));
    }
    report.ok = true;
    return report;
}

std::int64_t CountPackets(const std::filesystem::path& movie) {
    const ProgramResult run = RunProgram(
        {"ffprobe", "-v", "error", "-enable_drefs", "1", "-count_packets", "-select_streams", "v:0",
         "-show_entries", "stream=nb_read_packets", "-of", "json", Utf8FromPath(movie)});
    if (run.exitCode != 0) {
        return -1;
    }
    const json document = json::parse(run.output, nullptr, false);
    if (document.is_discarded() || !document.contains("streams") || document["streams"].empty()) {
        return -1;
    }
    return NumberField(document["streams"][0], "nb_read_packets", -1);
}

}  // namespace tarnwick::test
