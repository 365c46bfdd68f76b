#include "runtime/handles.h"

#include <cstring>
#include <memory>
#include <type_traits>

#include "runtime/no_throw.h"
#include "runtime/registry.h"

namespace tarnwick::runtime {
namespace {

// The master pointer comes first, so a handle is the record's own address.
struct HandleRecord {
    char* master = nullptr;
    std::size_t size = 0;
    std::unique_ptr<char[]> block;
};
static_assert(std::is_standard_layout_v<HandleRecord>);

Registry<HandleRecord>& Handles() {
    static Registry<HandleRecord> handles;
    return handles;
}

Handle NewZeroedHandle(std::size_t size) {
    auto record = std::make_unique<HandleRecord>();
    record->block = std::make_unique<char[]>(size == 0 ? 1 : size);  // value-initialised
    record->master = record->block.get();
    record->size = size;
    return &Handles().Add(std::move(record))->master;
}

}  // namespace

Handle NewHandleHolding(std::string_view bytes) {
    return NoThrow<Handle>(nullptr, [&] {
        Handle handle = NewZeroedHandle(bytes.size());
        if (!bytes.empty()) {
            std::memcpy(*handle, bytes.data(), bytes.size());
        }
        return handle;
    });
}

HandleBlock FindHandleBlock(Handle handle) {
    const HandleRecord* record = Handles().Find(handle);
    if (record == nullptr) {
        return {};
    }
    return {record->master, record->size};
}

}  // namespace tarnwick::runtime

using namespace tarnwick::runtime;

extern "C" Handle NewHandleClear(Size byteCount) {
    if (byteCount < 0) {
        return nullptr;
    }
    return NoThrow<Handle>(nullptr,
                           [&] { return NewZeroedHandle(static_cast<std::size_t>(byteCount)); });
}

extern "C" void DisposeHandle(Handle h) {
    Handles().Remove(h);
}
