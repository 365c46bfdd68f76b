// QuickTime File Format atoms, built as a tree whose sizes are known before anything is written,
// then streamed out. Small atoms hold their bytes; the sample tables compute theirs while they
// are written, so a large table is never held in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/big_endian.h"

namespace tarnwick::runtime {

class AtomBody {
  public:
    virtual ~AtomBody() = default;
    virtual std::uint64_t Size() const = 0;
    virtual void WriteTo(BigEndianWriter& out) const = 0;
};

class Atom {
  public:
    Atom(std::uint32_t type, std::unique_ptr<AtomBody> body)
        : type_(type), body_(std::move(body)) {}

    std::uint64_t Size() const { return 8 + body_->Size(); }
    // The header's size field is 32 bits: the caller checks that Size() fits first.
    void WriteTo(BigEndianWriter& out) const;

  private:
    std::uint32_t type_;
    std::unique_ptr<AtomBody> body_;
};

// An atom holding bytes made in memory.
Atom LeafAtom(std::uint32_t type, std::string bytes);
// An atom holding other atoms, in order.
Atom ContainerAtom(std::uint32_t type, std::vector<Atom> children);

}  // namespace tarnwick::runtime
