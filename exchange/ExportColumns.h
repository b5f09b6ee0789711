#pragma once

// What an export writes: the columns chosen in the export options, and the values of one record
// in those columns. The text export and the database exports share the choice; each target then
// only has to lay the values out.

#include "document/Record.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace exchange {

// The export choices as the options dialog stores them: a field is exported when its flag is 1.
struct ExportChoice {
    std::int16_t ExportPeriod = 1;
    std::int16_t ExportLatitude = 1;
    std::int16_t ExportLongitude = 1;
    std::int16_t ExportNumber1 = 1;
    std::int16_t ExportNumber2 = 1;
    std::int16_t ExportEllipsoid = 1;
    std::int16_t ExportOriginalCoord = 1;
    std::int16_t ExportDate = 1;
    std::int16_t ExportFreeField = 1;
    std::int16_t ExportSex = 1;
    std::int16_t ExportCoordSystem = -1; // above 0: the Lambert 72 X and Y come first

    bool lambert() const { return ExportCoordSystem > 0; }
};

// The choices held in the program's settings.
ExportChoice CurrentExportChoice();

// The fields an export can carry, in the order the columns come.
enum class ExportField {
    X,
    Y,
    Period,
    Latitude,
    Longitude,
    N1,
    N2,
    Datum,
    Original,
    Date,
    Sex,
    Comment,
    Memo
};

enum class ColumnType { Long, Single, Text, Memo };

struct ExportColumn {
    ExportField field;
    QString name;
    ColumnType type;
    int size = 0; // characters, for Text
};

// The columns of the text export (header words), in their order.
std::vector<ExportColumn> TextColumns(const ExportChoice& choice);
// The columns of a database table, in their order; "Memo" always comes last.
std::vector<ExportColumn> TableColumns(const ExportChoice& choice);

using CellValue = std::variant<std::int32_t, float, QString>;

// Lambert 72 easting and northing of a stored position, in whole metres with halves to the even
// one. The stored position is in the destination datum, so it is shifted from there to "BEL72".
// Nothing for a record without a position (no value, or 999 for "no position"), for a datum that
// is not loaded, or for a point whose coordinates do not fit a 32-bit integer.
std::optional<std::array<std::int32_t, 2>> Lambert72Of(const document::Record& record);
// The same for a block of stored positions (latitude, longitude; nothing for a record without
// one), through the batch conversions: `out[i]` is what Lambert72Of gives for position i.
void Lambert72OfBlock(std::span<const std::optional<std::array<float, 2>>> positions,
                      std::vector<std::optional<std::array<std::int32_t, 2>>>& out);

// The values of a record for the database columns: Nulls become 0 or an empty text, the texts of
// DATE, SEX and COMMENT are trimmed, "Memo" is `memo`. Rows without a datum or a position get 0
// for X and Y.
std::vector<CellValue> TableRow(const std::vector<ExportColumn>& columns,
                                const document::Record& record, const QString& memo);

// A value that its column cannot hold, found before anything was written. Error 3163, naming the
// row (1 for the first exported record) and the column.
[[noreturn]] void RefuseValue(std::int64_t row, const QString& column, const QString& why);

// Checks a row against the column sizes (texts longer than their column); RefuseValue otherwise.
void CheckRow(const std::vector<ExportColumn>& columns, const std::vector<CellValue>& row,
              std::int64_t rowNumber);

// The double that reads as the single's shortest decimal form (50.85F gives 50.85, not
// 50.84999847...): what a reader of a double-precision target shows for a single.
double SingleAsDouble(float value);

// The Memo text of every row: the document's title, " / " and its comment.
QString MemoText(const QString& title, const QString& comment);

} // namespace exchange
