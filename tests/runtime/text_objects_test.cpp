// Text objects in the two encodings callers use.
#include <gtest/gtest.h>

#include <string>

#include "movie/movie_services.h"
#include "runtime/text_objects.h"

namespace {

using tarnwick::runtime::FindTextObject;

// The UTF-8 text of a new text object, or "<null>" when none is made.
std::string TextOf(const char* bytes, CFStringEncoding encoding) {
    CFStringRef text = CFStringCreateWithCString(nullptr, bytes, encoding);
    if (text == nullptr) {
        return "<null>";
    }
    const std::string* utf8 = FindTextObject(text);
    std::string copy = utf8 != nullptr ? *utf8 : "<unknown>";
    CFRelease(text);
    return copy;
}

TEST(TextObjects, Utf8TextIsKeptAsItIs) {
    for (const char* text : {"", "/clips/take.mov", "Aufnahmen für März/映像/🎞.mov"}) {
        EXPECT_EQ(TextOf(text, kCFStringEncodingUTF8), text);
    }
}

TEST(TextObjects, MalformedUtf8MakesNoTextObject) {
    const char* malformed[] = {
        "\xC3",              // cut short
        "\x80",              // continuation byte alone
        "\xC0\xAF",          // overlong '/'
        "\xE0\x80\xAF",      // overlong '/'
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xFF",
    };
    for (const char* text : malformed) {
        EXPECT_EQ(TextOf(text, kCFStringEncodingUTF8), "<null>") << text;
    }
}

TEST(TextObjects, MacRomanBytesBecomeTheirUnicodeCharacters) {
    struct Case {
        const char* macRoman;
        const char* utf8;
    };
    const Case cases[] = {
        {"take.mov", "take.mov"},
        {"caf\x8E", "caf\xC3\xA9"},                    // é
        {"\x80\x8A\x9F", "\xC3\x84\xC3\xA4\xC3\xBC"},  // Ä ä ü
        {"\xA5", "\xE2\x80\xA2"},                      // bullet
        {"\xCA", "\xC2\xA0"},                          // no-break space
        {"\xDB", "\xE2\x82\xAC"},                      // euro sign
        {"\xF0", "\xEF\xA3\xBF"},                      // Apple logo, private use
        {"\xF8\xFF", "\xC2\xAF\xCB\x87"},              // macron, caron
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextOf(c.macRoman, kCFStringEncodingMacRoman), c.utf8) << c.macRoman;
    }
}

TEST(TextObjects, UnknownEncodingOrNoTextMakesNoTextObject) {
    EXPECT_EQ(TextOf("abc", 0x0600), "<null>");
    EXPECT_EQ(CFStringCreateWithCString(nullptr, nullptr, kCFStringEncodingUTF8), nullptr);
}

TEST(TextObjects, ReleasedTextObjectIsUnknown) {
    CFStringRef text = CFStringCreateWithCString(nullptr, "abc", kCFStringEncodingUTF8);
    CFRelease(text);
    EXPECT_EQ(FindTextObject(text), nullptr);
    CFRelease(text);
    CFRelease(nullptr);
}

}  // namespace
