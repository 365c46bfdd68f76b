// Small byte layouts for the scanner tests: words, filler and raw bytes laid end to end.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The signatures in file order, and an ordinary content word.
inline const Bytes kStart = {0x00, 0x01, 0x00, 0x09};
inline const Bytes kEnd1 = {0x00, 0x04, 0x0C, 0x0C};
inline const Bytes kEnd2 = {0x00, 0x18, 0x00, 0x00};
inline const Bytes kWord = {0x12, 0x34, 0x56, 0x78};

// count bytes that match no signature at any alignment.
inline Bytes Fill(std::size_t count) {
    return Bytes(count, 0xAA);
}

inline void Append(Bytes& bytes, const Bytes& part) {
    bytes.insert(bytes.end(), part.begin(), part.end());
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        Append(all, part);
    }
    return all;
}
