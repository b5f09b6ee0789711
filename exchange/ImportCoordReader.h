#pragma once

#include "document/Record.h"
#include "geodesy/CoordinateText.h"
#include "platform/TextFile.h"

#include <QString>
#include <optional>

namespace exchange {

// The three record layouts of a coordinate import file.
enum class CoordLayout { Seven, Eight, Six };
CoordLayout LayoutOf(geodesy::CoordSystem system);
// The number of fields of a layout.
int FieldCount(CoordLayout layout);

// The ORIGINAL and DATUM of one record, by the file's system. ORIGINAL is empty for a reference
// too short to name a square (the record is then dropped). The national grids' datum comes from
// the loaded datum table; error 9 when it is not loaded.
struct CoordText {
    QString original;
    QString datum;
};

// The fields of one record as read, in file order.
struct CoordFields {
    qint64 line = 0; // where the record starts
    QStringList fields;
};

// Reads the records of a coordinate import file: fields separated by commas or line ends, leading
// blanks skipped, a text in double quotes taken without them; one comment line ("*" first) may
// stand before each record, and blank lines between records are skipped. Every line is bounded,
// and a line that holds control characters is refused. Errors are AppErrors whose description
// names the line.
class CoordFileReader {
public:
    // Lines far longer than any record are refused rather than held.
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;

    CoordFileReader(const QString& path, geodesy::CoordSystem system);

    // The next record as a row of DOVAZOV (PERIOD, N1, N2, DATUM, ORIGINAL, DATE, COMMENT);
    // nothing at the end of the file. Records whose ORIGINAL is empty are skipped.
    std::optional<document::Record> next();

    qint64 position() const { return file_.position(); }
    qint64 size() const { return file_.size(); }

private:
    // Moves to the start of the next record; false at the end of the file.
    bool startRecord();
    bool nextLine();
    QString readField();
    std::optional<CoordFields> readFields();
    [[noreturn]] void fail(int number, const QString& what) const;

    platform::TextFileReader file_;
    geodesy::CoordSystem system_;
    CoordLayout layout_;
    QString line_;
    qsizetype pos_ = 0;
    bool haveLine_ = false; // the rest of line_ from pos_ is still to be read
    qint64 lineNumber_ = 0;
};

// ORIGINAL and DATUM from the fields of one record (numbers already checked by the reader).
CoordText BuildCoordText(geodesy::CoordSystem system, const QStringList& fields);

// A field read as a 16- or 32-bit integer or a single: a number with an optional sign, digits, at
// most one point and an optional exponent, blanks around it allowed; empty reads as 0. Error 13
// for any other text, 6 when it does not fit.
std::int16_t FieldInt16(const QString& field);
std::int32_t FieldInt32(const QString& field);
float FieldSingle(const QString& field);

} // namespace exchange
