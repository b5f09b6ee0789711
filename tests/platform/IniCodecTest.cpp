#include "platform/IniCodec.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace {

using platform::IniDocument;
using platform::ParseIni;
using platform::WriteIni;

// "section/key" -> value, the form QSettings lists its keys in ("key" alone outside a section).
using Flat = std::map<QString, QString>;

Flat FlatOf(const IniDocument& document) {
    Flat flat;
    for (const auto& section : document.sections()) {
        for (const auto& entry : section.entries) {
            flat[section.name.isEmpty() ? entry.key : section.name + '/' + entry.key] = entry.value;
        }
    }
    return flat;
}

// What QSettings, the independent reference, reads from `bytes`.
Flat QtRead(const QByteArray& bytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("reference.ini");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QSettings settings(path, QSettings::IniFormat);
    Flat flat;
    for (const QString& key : settings.allKeys()) {
        flat[key] = settings.value(key).toString();
    }
    return flat;
}

// What QSettings writes for `values` ("section/key" -> value).
QByteArray QtWrite(const Flat& values) {
    QTemporaryDir dir;
    const QString path = dir.filePath("reference.ini");
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const auto& [key, value] : values) {
            settings.setValue(key, value);
        }
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(IniCodec, ReadsHandWrittenFilesAsQSettingsDoes) {
    const char* const files[] = {
        "[Grid]\nHeight=7000.5\nWidth = 9000 \n",
        "; a comment\n[Grid]\r\nHeight=1\r\n\r\n; another\r\nTop=2 ; after the value\r\n",
        "[Grid]\rHeight=1\rTop=2\r",
        "\xEF\xBB\xBF[Files]\nLastFile1=/home/me/r\xC3\xA9sum\xC3\xA9.deg\n",
        "[Settings]\nSeparator=\";\"\nLabel=\"  padded  \"\nMixed=\"a\" b \nQuote=say \\\"hi\\\"\n",
        "[Settings]\nEscapes=\\x41\\101\\t\\q\\\\end\nHex=\\x41z\nOct=\\1017\n",
        "[Settings]\nLong=first \\\nsecond\nCrLf=a\\\r\nb\n",
        "top=outside\n[General]\nalso=outside\n[%General]\ninside=section\n",
        "[My%20Section]\nkey%3Dname=1\n%U00E9t%U00E9=summer\n",
        "[Files]\nLastFile1=@@at\nLastFile2=@String(nul)\nLastFile3=@\n",
        "[Grid]\nHeight=1\nHeight=2\nnot a key\n[Broken\nkey=v\n",
        "[Settings]\nEmpty=\nBlank=   \nQuoted=\"\"\n",
    };
    for (const char* text : files) {
        SCOPED_TRACE(text);
        const QByteArray bytes(text);
        Flat reference = QtRead(bytes);
        EXPECT_EQ(FlatOf(ParseIni(bytes)), reference);
    }
}

TEST(IniCodec, AKeyWithoutANameIsSkipped) {
    // QSettings would file it under the section's own name.
    EXPECT_EQ(FlatOf(ParseIni("[Grid]\n=no name\n = \nTop=1\n")), (Flat{{"Grid/Top", "1"}}));
}

TEST(IniCodec, AValueQSettingsWouldReadAsAListIsItsItemsJoined) {
    // The old store read such a line as written; QSettings gives a list there, not a text.
    EXPECT_EQ(FlatOf(ParseIni("[Settings]\nSeparator=a , b,c\nComma=,\n")),
              (Flat{{"Settings/Separator", "a,b,c"}, {"Settings/Comma", ","}}));
}

TEST(IniCodec, NamesMatchWithoutRegardToCaseKeepingTheFirstSpelling) {
    IniDocument document = ParseIni("[Grid]\nHeight=1\n[grid]\nHEIGHT=2\nTop=3\n");
    ASSERT_EQ(document.sections().size(), 1U);
    EXPECT_EQ(document.sections()[0].name, "Grid");
    ASSERT_EQ(document.sections()[0].entries.size(), 2U);
    EXPECT_EQ(document.sections()[0].entries[0], (platform::IniEntry{"Height", "2"}));
    ASSERT_NE(document.value("GRID", "height"), nullptr);
    EXPECT_EQ(*document.value("GRID", "height"), "2");

    document.set("GRID", "top", "4");
    document.set("Files", "LastFile1", "/a.deg");
    EXPECT_EQ(FlatOf(document),
              (Flat{{"Grid/Height", "2"}, {"Grid/Top", "4"}, {"Files/LastFile1", "/a.deg"}}));
    EXPECT_TRUE(document.remove("grid", "HEIGHT"));
    EXPECT_FALSE(document.remove("grid", "HEIGHT"));
    EXPECT_TRUE(document.removeSection("FILES"));
    EXPECT_EQ(FlatOf(document), (Flat{{"Grid/Top", "4"}}));
    EXPECT_TRUE(document.remove("Grid", "Top"));
    EXPECT_TRUE(document.sections().empty());
}

TEST(IniCodec, InputBeyondTheBoundsIsIgnored) {
    const QByteArray longValue(platform::kMaxIniValueLength + 1, 'v');
    const QByteArray longestValue(platform::kMaxIniValueLength, 'v');
    const QByteArray bytes = "[Grid]\nHeight=" + longValue + "\nWidth=" + longestValue + "\n" +
                             longValue + "=1\nTop=2\n";
    EXPECT_EQ(FlatOf(ParseIni(bytes)),
              (Flat{{"Grid/Width", QString::fromLatin1(longestValue)}, {"Grid/Top", "2"}}));
    // An escape that grows past the bound counts as it reads: 4097 "\t" escapes.
    QByteArray escaped = "[Grid]\nTabs=";
    for (qsizetype i = 0; i <= platform::kMaxIniValueLength; ++i) {
        escaped += "\\t";
    }
    EXPECT_TRUE(ParseIni(escaped).sections().empty());

    QByteArray big = "[Grid]\nHeight=1\n";
    big += QByteArray(platform::kMaxIniFileBytes, ';');
    EXPECT_TRUE(ParseIni(big).sections().empty());
}

// Texts built from the characters that INI files treat specially, and others.
QString RandomText(std::mt19937& random, bool loneSurrogates) {
    static const QStringList pool = {" ",
                                     "\t",
                                     "\n",
                                     "\r",
                                     "\"",
                                     "\\",
                                     ";",
                                     ",",
                                     "=",
                                     "@",
                                     "%",
                                     "[",
                                     "]",
                                     "#",
                                     "0",
                                     "a",
                                     "x",
                                     "7",
                                     "é",
                                     "中",
                                     "\u007f",
                                     "\u0001",
                                     QString(QChar(0)),
                                     "\U0001F600"};
    QString text;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) {
        if (loneSurrogates && random() % 10 == 0) {
            text += QChar(static_cast<char16_t>(0xD800 + random() % 0x800));
        } else {
            text += pool.at(static_cast<qsizetype>(random() % pool.size()));
        }
    }
    return text;
}

TEST(IniCodec, WhatEitherSideWritesTheOtherReadsBack) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        Flat values;
        IniDocument ours;
        for (int i = 0; i < 8; ++i) {
            const QString section = i % 3 == 0 ? QString() : QStringLiteral("S%1").arg(i % 3);
            const QString key = QStringLiteral("Key %1;=").arg(i);
            const QString value = RandomText(random, false);
            values[section.isEmpty() ? key : section + '/' + key] = value;
            ours.set(section, key, value);
        }
        EXPECT_EQ(FlatOf(ParseIni(QtWrite(values))), values);
        EXPECT_EQ(QtRead(WriteIni(ours)), values);
    }
}

TEST(IniCodec, OurOwnTextReadsBackExactlyLoneSurrogatesIncluded) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        IniDocument document;
        for (int i = 0; i < 4; ++i) {
            const QString name = RandomText(random, true);
            document.set(i == 0 ? QString() : name, RandomText(random, true) + 'k',
                         RandomText(random, true));
        }
        const QByteArray text = WriteIni(document);
        EXPECT_EQ(ParseIni(text), document) << text.toStdString();
    }
}

} // namespace
