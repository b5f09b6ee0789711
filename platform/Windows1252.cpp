#include "platform/Windows1252.h"

#include <array>
#include <cstddef>

namespace platform {

namespace {

// The characters of bytes 0x80..0x9F; the five bytes the code page leaves undefined read as the C1
// control of the same number. Every other byte is the Latin-1 character of the same number.
constexpr std::array<char16_t, 32> kHighBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CharacterOf(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighBlock[byte - 0x80] : static_cast<char16_t>(byte);
}

char ByteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    if (c >= 0x100) {
        for (std::size_t k = 0; k < kHighBlock.size(); ++k) {
            if (kHighBlock[k] == c) {
                return static_cast<char>(0x80 + k);
            }
        }
    }
    return '?';
}

} // namespace

QString DecodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* write = text.data();
    for (const char byte : bytes) {
        *write++ = QChar(CharacterOf(static_cast<unsigned char>(byte)));
    }
    return text;
}

void AppendUtf8OfWindows1252(std::string& out, QByteArrayView bytes) {
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80) {
            out += byte;
            continue;
        }
        const char16_t u = CharacterOf(b);
        if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
}

QByteArray EncodeWindows1252(QStringView text) {
    QByteArray bytes;
    AppendWindows1252(bytes, text);
    return bytes;
}

void AppendWindows1252(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* write = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // one character outside the code page: one "?"
            *write++ = '?';
            continue;
        }
        *write++ = ByteOf(c.unicode());
    }
    out.resize(write - out.data());
}

char Windows1252Byte(char16_t c) {
    return ByteOf(c);
}

} // namespace platform
