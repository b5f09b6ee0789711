#include "platform/TextFile.h"

#include "common/AppError.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

constexpr qsizetype kChunk = 1 << 16;
// The number the old platform gave a string that memory could not hold.
constexpr int kOutOfStringSpace = 14;

// The characters Windows-1252 places in 0x80..0x9F (the rest of 0xA0..0xFF is Latin-1).
constexpr char16_t kHighBlock[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                   0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                   0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

bool Representable(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return true;
    }
    for (char16_t h : kHighBlock) {
        if (h == c) {
            return true;
        }
    }
    return false;
}

} // namespace

QString DecodeWindows1252(QByteArrayView bytes) {
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) {
        return QString::fromLatin1(bytes);
    }
    return decoder.decode(bytes);
}

QByteArray EncodeWindows1252(QStringView text) {
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // one character outside the code page: one "?"
            safe += QLatin1Char('?');
        } else {
            safe += Representable(c.unicode()) ? c : QLatin1Char('?');
        }
    }
    QStringEncoder encoder("windows-1252");
    if (!encoder.isValid()) {
        return safe.toLatin1();
    }
    return encoder.encode(safe);
}

TextFileReader::TextFileReader(const QString& path, qsizetype maxLineBytes)
    : file_(path), maxLineBytes_(maxLineBytes) {
    if (!file_.open(QIODevice::ReadOnly)) {
        throw common::AppError(common::kFileNotFound);
    }
    size_ = file_.size();
}

bool TextFileReader::fill() {
    if (eof_) {
        return false;
    }
    if (start_ > 0) {
        buffer_.remove(0, start_);
        start_ = 0;
    }
    const QByteArray chunk = file_.read(kChunk);
    if (chunk.isEmpty()) {
        eof_ = true;
        return false;
    }
    buffer_.append(chunk);
    return true;
}

bool TextFileReader::atEnd() {
    if (start_ < buffer_.size()) {
        return false;
    }
    return !fill();
}

void TextFileReader::lineTooLong() const {
    throw common::AppError(kOutOfStringSpace,
                           QStringLiteral("Out of string space: line %1 of %2 is longer than %3 "
                                          "bytes")
                               .arg(linesRead_ + 1)
                               .arg(file_.fileName())
                               .arg(maxLineBytes_)
                               .toStdString());
}

QByteArray TextFileReader::readRawLine() {
    if (atEnd()) {
        throw common::AppError(common::kInputPastEnd);
    }
    qsizetype scanFrom = start_;
    for (;;) {
        qsizetype end = -1;
        for (qsizetype i = scanFrom; i < buffer_.size(); ++i) {
            const char c = buffer_[i];
            if (c == '\r' || c == '\n') {
                end = i;
                break;
            }
        }
        if (end >= 0) {
            if (end - start_ > maxLineBytes_) {
                lineTooLong();
            }
            // A CR at the end of the buffer may be the first half of CR LF.
            if (buffer_[end] == '\r' && end + 1 == buffer_.size()) {
                const qsizetype offset = end - start_;
                fill();
                end = start_ + offset;
            }
            QByteArray line = buffer_.mid(start_, end - start_);
            qsizetype next = end + 1;
            if (buffer_[end] == '\r' && next < buffer_.size() && buffer_[next] == '\n') {
                ++next;
            }
            consumed_ += next - start_;
            start_ = next;
            ++linesRead_;
            return line;
        }
        const qsizetype scanned = buffer_.size() - start_;
        if (scanned > maxLineBytes_) {
            lineTooLong();
        }
        if (!fill()) {
            QByteArray line = buffer_.mid(start_);
            consumed_ += line.size();
            start_ = buffer_.size();
            ++linesRead_;
            return line;
        }
        scanFrom = start_ + scanned;
    }
}

QString TextFileReader::readLine() {
    return DecodeWindows1252(readRawLine());
}

TextFileWriter::TextFileWriter(const QString& path, Mode mode) : file_(path) {
    const QIODevice::OpenMode flags = mode == Mode::Append
                                          ? QIODevice::WriteOnly | QIODevice::Append
                                          : QIODevice::WriteOnly | QIODevice::Truncate;
    ok_ = file_.open(flags);
}

TextFileWriter::~TextFileWriter() {
    if (file_.isOpen()) {
        close();
    }
}

void TextFileWriter::flushBuffer() {
    if (!buffer_.isEmpty() && file_.isOpen()) {
        if (file_.write(buffer_) != buffer_.size()) {
            ok_ = false;
        }
    }
    buffer_.clear();
}

void TextFileWriter::write(QStringView text) {
    if (!file_.isOpen()) {
        ok_ = false;
        return;
    }
    buffer_.append(EncodeWindows1252(text));
    if (buffer_.size() >= kChunk) {
        flushBuffer();
    }
}

void TextFileWriter::writeLine(QStringView text) {
    write(text);
    buffer_.append("\r\n");
}

bool TextFileWriter::close() {
    if (!file_.isOpen()) {
        return false;
    }
    flushBuffer();
    if (!file_.flush()) {
        ok_ = false;
    }
    file_.close();
    return ok_;
}

} // namespace platform
