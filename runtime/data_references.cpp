#include "runtime/data_references.h"

#include <filesystem>
#include <system_error>

#include "runtime/errors.h"
#include "runtime/handles.h"
#include "runtime/no_throw.h"
#include "runtime/path_location.h"
#include "runtime/text_objects.h"

namespace tarnwick::runtime {
namespace {

// A path in either style made absolute against the working folder and cleared of "." and ".."
// parts; nothing when that fails. Both path styles are read by the platform's own rules, which
// on Windows accept '/' as well as '\'.
std::optional<std::string> AbsolutePath(const std::string& utf8Path) {
    if (utf8Path.empty()) {
        return std::nullopt;
    }
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path absolute =
        fs::absolute(fs::path(std::u8string(utf8Path.begin(), utf8Path.end())), error);
    if (error) {
        return std::nullopt;
    }
    const std::u8string normal = absolute.lexically_normal().u8string();
    return std::string(normal.begin(), normal.end());
}

bool IsKnownPathStyle(QTPathStyle style) {
    return style == kQTNativeDefaultPathStyle || style == kQTPOSIXPathStyle;
}

}  // namespace

std::optional<std::string> FindDataReferencePath(Handle dataRef, OSType dataRefType) {
    const HandleBlock block = FindHandleBlock(dataRef);
    if (block.data == nullptr || dataRefType != kAliasDataRefType) {
        return std::nullopt;
    }
    std::string path(block.data, block.size);
    if (!ParseAbsolutePath(path)) {
        return std::nullopt;
    }
    return path;
}

}  // namespace tarnwick::runtime

using namespace tarnwick::runtime;

// The flags are reserved: no flag changes what is made.
extern "C" OSErr QTNewDataReferenceFromFullPathCFString(CFStringRef filePath, QTPathStyle pathStyle,
                                                        std::uint32_t, Handle* outDataRef,
                                                        OSType* outDataRefType) {
    if (outDataRef == nullptr || outDataRefType == nullptr || !IsKnownPathStyle(pathStyle)) {
        return paramErr;
    }
    *outDataRef = nullptr;
    *outDataRefType = 0;
    const std::string* text = FindTextObject(filePath);
    if (text == nullptr) {
        return paramErr;
    }
    return NoThrow<OSErr>(memFullErr, [&] {
        const std::optional<std::string> path = AbsolutePath(*text);
        if (!path || !ParseAbsolutePath(*path)) {
            return couldNotResolveDataRef;
        }
        Handle handle = NewHandleHolding(*path);
        if (handle == nullptr) {
            return memFullErr;
        }
        *outDataRef = handle;
        *outDataRefType = kAliasDataRefType;
        return noErr;
    });
}
