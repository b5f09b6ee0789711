#pragma once

// Little- and big-endian integers placed into the byte layouts of the database exports.

#include <QByteArray>
#include <QByteArrayView>
#include <algorithm>
#include <cstdint>
#include <cstring>

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

// `bytes` at `to`, cut at `width`. An empty view may have no data, which memcpy must not be given.
inline void PutCut(char* to, QByteArrayView bytes, qsizetype width) {
    const qsizetype kept = std::min(bytes.size(), width);
    if (kept > 0) {
        std::memcpy(to, bytes.data(), static_cast<std::size_t>(kept));
    }
}

} // namespace exchange
