#include "runtime/text_objects.h"

#include <memory>
#include <optional>
#include <string_view>

#include "runtime/no_throw.h"
#include "runtime/registry.h"
#include "runtime/text_encoding.h"

struct OpaqueCFString {
    std::string utf8;
};

namespace tarnwick::runtime {
namespace {

Registry<OpaqueCFString>& TextObjects() {
    static Registry<OpaqueCFString> objects;
    return objects;
}

// The text as UTF-8, or nothing when the encoding is unknown or the bytes are not text in it.
std::optional<std::string> DecodeText(std::string_view text, CFStringEncoding encoding) {
    if (encoding == kCFStringEncodingMacRoman) {
        return Utf8FromMacRoman(text);
    }
    if (encoding == kCFStringEncodingUTF8 && IsWellFormedUtf8(text)) {
        return std::string(text);
    }
    return std::nullopt;
}

}  // namespace

const std::string* FindTextObject(CFStringRef text) {
    const OpaqueCFString* object = TextObjects().Find(text);
    return object == nullptr ? nullptr : &object->utf8;
}

}  // namespace tarnwick::runtime

using namespace tarnwick::runtime;

// The allocator is not used: the runtime keeps its own objects.
extern "C" CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr,
                                                 CFStringEncoding encoding) {
    if (cStr == nullptr) {
        return nullptr;
    }
    return NoThrow<CFStringRef>(nullptr, [&]() -> CFStringRef {
        std::optional<std::string> utf8 = DecodeText(cStr, encoding);
        if (!utf8) {
            return nullptr;
        }
        return TextObjects().Add(std::make_unique<OpaqueCFString>(OpaqueCFString{*utf8}));
    });
}

extern "C" void CFRelease(CFTypeRef cf) {
    TextObjects().Remove(cf);
}
