#pragma once

#include "platform/TextFile.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace document {

// What the reader needs of the main window. Every hook may be left empty (tests, fuzzing).
struct ReaderHooks {
    // The texts of the title box and the comment box before the read (a merge appends to them).
    QString BoxTitre;
    QString Commentaire;
    // Sets the window caption ("DOVazov - " and CurrentFile).
    std::function<void(const QString&)> setCaption;
    // Puts the new texts into the title and comment boxes and shows them with their labels.
    std::function<void(const QString& title, const QString& comment)> showDocumentBoxes;
    // Shows the document's datum code in the status bar.
    std::function<void(const QString&)> showDestCode;
    // Fits the grid to the window and shows it; gives it the focus; repaints it.
    std::function<void()> dimensionneGrille;
    std::function<void()> focusGrid;
    std::function<void()> refreshGrid;
    // Puts the file at the head of the recent files.
    std::function<void(const QString&)> majLastFiles;
    // The folder that may hold "standard.hdr"; the program's folder when empty.
    QString programFolder;
};

// The lines of a distribution file, as raw Windows-1252 bytes without their line ends; CR LF,
// LF and a lone CR all end a line.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual bool atEnd() = 0;
    // The next line; error 62 past the end.
    virtual QByteArray readRawLine() = 0;
    // Bytes consumed so far, and the whole length.
    virtual qint64 position() const = 0;
    virtual qint64 size() const = 0;
    // Lets the file go once the read is over, before anything is told to the user.
    virtual void close() {}
};

// A file read through a buffer, in constant memory.
class FileLineSource final : public LineSource {
public:
    // Error 75 when the file cannot be opened.
    explicit FileLineSource(const QString& path);
    bool atEnd() override { return reader_->atEnd(); }
    QByteArray readRawLine() override { return reader_->readRawLine(); }
    qint64 position() const override { return reader_->position(); }
    qint64 size() const override { return reader_->size(); }
    void close() override { reader_.reset(); }

private:
    std::unique_ptr<platform::TextFileReader> reader_;
};

// Lines of bytes held in memory.
class BytesLineSource final : public LineSource {
public:
    explicit BytesLineSource(QByteArray bytes) : bytes_(std::move(bytes)) {}
    bool atEnd() override { return position_ >= bytes_.size(); }
    QByteArray readRawLine() override;
    qint64 position() const override { return position_; }
    qint64 size() const override { return bytes_.size(); }

private:
    QByteArray bytes_;
    qsizetype position_ = 0;
};

// How a file is read: replacing the open document, or appended to it.
inline constexpr int kOpenMode = 0;
inline constexpr int kMergeMode = 1;

// Reads the distribution file `fileName` into the working table. Mode 0 opens it (the table is
// emptied first), mode 1 merges it (its records follow the document's, after the checks that the
// two are compatible: the same datum, and the same free fields and separator when both have
// some). Both layouts are read; after an open of the older layout every position is recomputed.
//
// The read is all or nothing: the table is changed in one transaction, and the document's
// header values (datum, free fields, period scheme, title, comment, FileModified, caption) are
// set only once every line has been read. A missing file, a refused merge or any failure leaves
// the document exactly as it was, tells the user, and returns false. CurrentFile is not changed;
// a caller that set it before the read puts it back on false (OpenDistribution does).
bool ChargeDeg(const QString& fileName, int mode, const ReaderHooks& hooks = {});

// The same read from lines already at hand; `fileName` only names them in the wait window and
// the recent files.
bool ChargeDegFrom(LineSource& source, const QString& fileName, int mode,
                   const ReaderHooks& hooks = {});

// Opening a file as File > Open does after its dialog: CurrentFile names the file once the read
// has succeeded; a failed read leaves it as it was.
bool OpenDistribution(const QString& fileName, const ReaderHooks& hooks = {});

} // namespace document
