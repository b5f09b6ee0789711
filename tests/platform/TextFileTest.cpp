#include "platform/TextFile.h"

#include "common/AppError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::TextFileReader;
using platform::TextFileWriter;

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

TEST(TextFile, WritesCrLfAndReadsEveryLineEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    {
        TextFileWriter writer(path);
        writer.write(QString::fromUtf8("Forêt "));
        writer.writeLine(QStringLiteral("1"));
        writer.writeLine();
        writer.writeLine(QString::fromUtf8("Ærø"));
        writer.commit();
    }
    EXPECT_EQ(ReadBytes(path), QByteArray("For\xEAt 1\r\n\r\n\xC6r\xF8\r\n"));

    WriteBytes(path, "a\r\nb\nc\rd\r\n\r\ne");
    TextFileReader reader(path);
    QStringList lines;
    while (!reader.atEnd()) {
        lines << reader.readLine();
    }
    EXPECT_EQ(lines, QStringList({"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(reader.position(), reader.size());
    EXPECT_THROW(reader.readLine(), common::AppError);
}

TEST(TextFile, LinesLongerThanTheBufferAndCrLfAcrossItsEdge) {
    QTemporaryDir dir;
    const QString path = dir.filePath("long.txt");
    const QByteArray first(65535, 'x'); // its CR ends one buffer, its LF starts the next
    const QByteArray second(200000, 'y');
    WriteBytes(path, first + "\r\n" + second + "\r\nz");
    TextFileReader reader(path);
    EXPECT_EQ(reader.readRawLine(), first);
    EXPECT_EQ(reader.readRawLine(), second);
    EXPECT_EQ(reader.readRawLine(), "z");
    EXPECT_TRUE(reader.atEnd());
}

TEST(TextFile, ALineLongerThanTheLimitIsAnErrorNamingTheFileAndTheLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("lines.txt");
    struct Case {
        QByteArray bytes;
        int goodLines;
    };
    const Case cases[] = {
        {"ab\r\n" + QByteArray(100, 'x') + "\r\n", 2}, // at the limit
        {"ab\r\n" + QByteArray(100, 'x'), 2},          // at the limit, at the end
        {"ab\ncd\r" + QByteArray(101, 'x') + "\r\nz", 2},
        {"ab\r\n" + QByteArray(101, 'x'), 1},
        {QByteArray(500000, 'x'), 0}, // no line end at all, several buffers long
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.size());
        WriteBytes(path, c.bytes);
        TextFileReader reader(path, 100);
        for (int line = 0; line < c.goodLines; ++line) {
            EXPECT_LE(reader.readRawLine().size(), 100);
        }
        if (reader.atEnd()) {
            continue;
        }
        try {
            reader.readRawLine();
            FAIL() << "no error";
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), 14);
            EXPECT_EQ(e.description(), "Out of string space: line " +
                                           std::to_string(c.goodLines + 1) + " of " +
                                           path.toStdString() + " is longer than 100 bytes");
        }
    }
    // Every reader has a limit: a file without line ends is refused, not read whole.
    WriteBytes(path, QByteArray(3 << 20, 'x'));
    TextFileReader reader(path);
    EXPECT_THROW(reader.readRawLine(), common::AppError);
}

TEST(TextFile, MissingFileIsError53) {
    try {
        TextFileReader reader("/nonexistent/folder/file.deg");
        FAIL();
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

TEST(TextFile, WriterReportsAFileItCannotCreate) {
    try {
        TextFileWriter writer("/nonexistent/folder/out.deg");
        FAIL() << "no error";
    } catch (const platform::FileWriteError& e) {
        EXPECT_EQ(e.path(), "/nonexistent/folder/out.deg");
        EXPECT_FALSE(e.reason().isEmpty());
    }
}

// The new file takes the old one's place only when it is complete: until commit() the old content
// stays under its name, and a writer left uncommitted changes nothing.
TEST(TextFile, WriterReplacesTheFileOnlyOnCommitAndKeepsTheBackupThen) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.deg");
    const QString backup = dir.filePath("a.BAK");
    WriteBytes(path, "old\r\n");
    const QString longLine(200000, QLatin1Char('y')); // several buffers
    {
        TextFileWriter writer(path, backup);
        writer.writeLine(longLine);
        EXPECT_EQ(ReadBytes(path), "old\r\n");
    }
    EXPECT_EQ(ReadBytes(path), "old\r\n");
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.deg"});

    TextFileWriter writer(path, backup);
    writer.writeLine(longLine);
    writer.write(QString::fromUtf8("€"));
    EXPECT_FALSE(QFile::exists(backup));
    writer.commit();
    EXPECT_EQ(ReadBytes(path), longLine.toLatin1() + "\r\n\x80");
    EXPECT_EQ(ReadBytes(backup), "old\r\n");
}

} // namespace
