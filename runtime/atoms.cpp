#include "runtime/atoms.h"

namespace tarnwick::runtime {
namespace {

class BytesBody : public AtomBody {
  public:
    explicit BytesBody(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    void WriteTo(BigEndianWriter& out) const override { out.Text(bytes_); }

  private:
    std::string bytes_;
};

class ContainerBody : public AtomBody {
  public:
    explicit ContainerBody(std::vector<Atom> children) : children_(std::move(children)) {
        for (const Atom& child : children_) {
            size_ += child.Size();
        }
    }
    std::uint64_t Size() const override { return size_; }
    void WriteTo(BigEndianWriter& out) const override {
        for (const Atom& child : children_) {
            child.WriteTo(out);
        }
    }

  private:
    std::vector<Atom> children_;
    std::uint64_t size_ = 0;
};

}  // namespace

void Atom::WriteTo(BigEndianWriter& out) const {
    out.U32(static_cast<std::uint32_t>(Size()));
    out.U32(type_);
    body_->WriteTo(out);
}

Atom LeafAtom(std::uint32_t type, std::string bytes) {
    return Atom(type, std::make_unique<BytesBody>(std::move(bytes)));
}

Atom ContainerAtom(std::uint32_t type, std::vector<Atom> children) {
    return Atom(type, std::make_unique<ContainerBody>(std::move(children)));
}

}  // namespace tarnwick::runtime
