#pragma once

#include "platform/FileReplacement.h"
#include "platform/Windows1252.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

namespace platform {

// Reads a Windows-1252 text file line by line; CR LF, LF and a lone CR all end a line.
// Buffered, and no line may be longer than `maxLineBytes`, so a file of any size, a file without
// line ends included, is read in bounded memory.
class TextFileReader {
public:
    // Far beyond any line of the program's text files (a distribution line is about 300 bytes).
    static constexpr qsizetype kMaxLineBytes = 1 << 20;

    // Throws common::AppError (53, "File not found") when the file cannot be opened.
    explicit TextFileReader(const QString& path, qsizetype maxLineBytes = kMaxLineBytes);

    bool atEnd();
    // The next line without its line end; error 62 past the end.
    QString readLine();
    // The next line's raw bytes, without its line end. A line longer than the limit is error 14,
    // whose description names the file and the line.
    QByteArray readRawLine();
    // Bytes consumed so far, and the size of the file.
    qint64 position() const { return consumed_; }
    qint64 size() const { return size_; }

private:
    bool fill();
    [[noreturn]] void lineTooLong() const;

    QFile file_;
    qsizetype maxLineBytes_;
    qint64 linesRead_ = 0;
    QByteArray buffer_;
    qsizetype start_ = 0;
    qint64 consumed_ = 0;
    qint64 size_ = 0;
    bool eof_ = false;
};

// Writes a Windows-1252 text file with CR LF line ends through a FileReplacement: the file keeps
// its previous content under its name until commit() puts the new one in place whole, and a
// writer that is never committed (an error on the way, an exception) leaves it as it was.
// Failures throw FileWriteError with the system's reason and the path.
class TextFileWriter {
public:
    // `backupPath`, when not empty, keeps the previous version there once the new one is complete.
    explicit TextFileWriter(const QString& path, const QString& backupPath = {});

    void write(QStringView text);
    void writeLine(QStringView text = {});
    // Bytes already in the file's code page, line ends included.
    void writeBytes(QByteArrayView bytes);
    // Writes what is pending and puts the file in place.
    void commit();

private:
    void flush();

    FileReplacement file_;
    QByteArray buffer_;
};

} // namespace platform
