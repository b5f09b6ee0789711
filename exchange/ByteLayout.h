#pragma once

// Little- and big-endian integers placed into the byte layouts of the database exports.

#include <QByteArray>
#include <cstdint>

namespace exchange {

inline void PutLe16(QByteArray& bytes, qsizetype at, std::uint32_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

inline void PutLe32(QByteArray& bytes, qsizetype at, std::uint32_t value) {
    PutLe16(bytes, at, value & 0xFFFF);
    PutLe16(bytes, at + 2, value >> 16);
}

inline void PutBe32(QByteArray& bytes, qsizetype at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i) & 0xFF);
    }
}

} // namespace exchange
