#include "platform/TextFile.h"

#include "common/AppError.h"

namespace platform {

namespace {

constexpr qsizetype kChunk = 1 << 16;

} // namespace

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
    throw common::AppError(common::kOutOfStringSpace,
                           common::ErrorDescription(common::kOutOfStringSpace) +
                               QStringLiteral(": line %1 of %2 is longer than %3 bytes")
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

TextFileWriter::TextFileWriter(const QString& path, const QString& backupPath)
    : file_(path, backupPath) {
    buffer_.reserve(kChunk + 4096);
}

void TextFileWriter::flush() {
    file_.write(buffer_);
    buffer_.clear();
}

void TextFileWriter::write(QStringView text) {
    AppendWindows1252(buffer_, text);
    if (buffer_.size() >= kChunk) {
        flush();
    }
}

void TextFileWriter::writeLine(QStringView text) {
    write(text);
    buffer_ += "\r\n";
    if (buffer_.size() >= kChunk) {
        flush();
    }
}

void TextFileWriter::writeBytes(QByteArrayView bytes) {
    if (bytes.size() >= kChunk) {
        flush();
        file_.write(bytes);
        return;
    }
    buffer_ += bytes;
    if (buffer_.size() >= kChunk) {
        flush();
    }
}

void TextFileWriter::commit() {
    flush();
    file_.commit();
}

} // namespace platform
