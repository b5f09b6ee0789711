#include "platform/Windows1252.h"

#include <QStringDecoder>
#include <gtest/gtest.h>
#include <string>

namespace {

// ICU's Windows-1252 table, through Qt, is the reference for every byte.
QString IcuDecoded(QByteArrayView bytes) {
    QStringDecoder decoder("windows-1252");
    EXPECT_TRUE(decoder.isValid());
    return decoder.decode(bytes);
}

TEST(Windows1252, MapsTheHighBlockAndReplacesWhatItCannotHold) {
    const QString text = QString::fromUtf8("é€œ“x”—ł中😀");
    EXPECT_EQ(platform::EncodeWindows1252(text), QByteArray("\xE9\x80\x9C\x93x\x94\x97???"));
    EXPECT_EQ(platform::DecodeWindows1252("\xE9\x80\x9C\x93x"), QString::fromUtf8("é€œ“x"));
}

TEST(Windows1252, EveryByteDecodesAsTheCodePageTableSays) {
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const QByteArrayView one(&c, 1);
        const QString expected = IcuDecoded(one);
        EXPECT_EQ(platform::DecodeWindows1252(one), expected) << byte;
        std::string utf8;
        platform::AppendUtf8OfWindows1252(utf8, one);
        EXPECT_EQ(QString::fromStdString(utf8), expected) << byte;
    }
}

TEST(Windows1252, EveryCharacterTheCodePageHoldsEncodesToItsByteAndNoOtherOne) {
    // The characters the table gives for the bytes, C1 controls left out: they stand for no
    // character of the code page, only for bytes it leaves undefined.
    QByteArray byteOf(0x10000, '?');
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const QString decoded = IcuDecoded(QByteArrayView(&c, 1));
        ASSERT_EQ(decoded.size(), 1);
        const char16_t u = decoded[0].unicode();
        if (u < 0x80 || u >= 0xA0) {
            byteOf[u] = c;
        }
    }
    for (char32_t code = 0; code < 0x10000; ++code) {
        if (code >= 0xD800 && code < 0xE000) {
            continue;
        }
        const QString text(QChar(static_cast<char16_t>(code)));
        ASSERT_EQ(platform::EncodeWindows1252(text), QByteArray(1, byteOf[code]))
            << static_cast<int>(code);
    }
    QByteArray out = "x";
    platform::AppendWindows1252(out, QString::fromUtf8("a\U0001F600b")); // one character outside
    EXPECT_EQ(out, "xa?b");
}

} // namespace
