#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

namespace platform {

// The distribution files and the other text files come from Windows machines: Windows-1252.
QString DecodeWindows1252(QByteArrayView bytes);
// A character that Windows-1252 cannot hold is written as "?".
QByteArray EncodeWindows1252(QStringView text);

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

// Writes a Windows-1252 text file with CR LF line ends. Errors are reported by `ok()` and
// `errorText()` rather than by exceptions, so that a writer can decide what to do with them.
class TextFileWriter {
public:
    enum class Mode { Truncate, Append };
    explicit TextFileWriter(const QString& path, Mode mode = Mode::Truncate);
    ~TextFileWriter();

    bool isOpen() const { return file_.isOpen(); }
    void write(QStringView text);
    void writeLine(QStringView text = {});
    // Flushes and closes; false when any write failed.
    bool close();
    bool ok() const { return ok_; }
    QString errorText() const { return file_.errorString(); }

private:
    void flushBuffer();

    QFile file_;
    QByteArray buffer_;
    bool ok_ = true;
};

} // namespace platform
