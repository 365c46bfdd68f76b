// The Component Manager's two call entries. The program binds them with the dispatcher but
// makes no component calls, so both answer badComponentSelector. Callers remove their own
// arguments (cdecl), so the entries need not know them.
#include <cstdint>

namespace {
constexpr std::uint32_t kBadComponentSelector = 0x80008002u;
}

extern "C" std::uint32_t QuickTimeCallComponent() {
    return kBadComponentSelector;
}

extern "C" std::uint32_t QuickTimeCallComponentFunctionWithStorage() {
    return kBadComponentSelector;
}
