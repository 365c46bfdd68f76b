// The live objects of one kind that the runtime has handed out.
//
// Callers pass references back as plain pointers, and a failed call elsewhere may pass on any
// value at all. Every routine therefore looks a reference up here before it touches the object:
// an unknown value is never dereferenced.
#pragma once

#include <memory>
#include <unordered_map>

namespace tarnwick::runtime {

template <typename Object>
class Registry {
  public:
    // Takes ownership of the object; the object's own address is its key.
    Object* Add(std::unique_ptr<Object> object) {
        Object* raw = object.get();
        objects_.emplace(raw, std::move(object));
        return raw;
    }

    // The live object at that address, or null for any other value.
    Object* Find(const void* address) const {
        const auto found = objects_.find(address);
        return found == objects_.end() ? nullptr : found->second.get();
    }

    // Destroys the object; false when the address names no live object.
    bool Remove(const void* address) { return objects_.erase(address) != 0; }

    std::size_t size() const { return objects_.size(); }

  private:
    std::unordered_map<const void*, std::unique_ptr<Object>> objects_;
};

}  // namespace tarnwick::runtime
