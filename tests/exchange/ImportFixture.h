#pragma once

#include "../document/DistributionFixture.h"
#include "../support/ErrorOf.h"
#include "exchange/ImportState.h"
#include "geodesy/DatumTables.h"

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace import_test {

// A line holding each text at its 1-based column, blanks in between: fixed-column fixtures are
// written by column, not counted by hand.
inline QString AtColumns(const std::vector<std::pair<int, QString>>& pieces) {
    QString line;
    for (const auto& [column, text] : pieces) {
        if (line.size() < column - 1) {
            line = line.leftJustified(column - 1, QLatin1Char(' '));
        }
        line = line.left(column - 1) + text + line.mid(column - 1 + text.size());
    }
    return line;
}

// A working table bound to the grid, the real datums with WGS84 as the degree, UTM and destination
// datum, so that a recomputed position can be checked against the text it came from.
class ImportTest : public testing_support::DistributionTest {
protected:
    void SetUp() override {
        DistributionTest::SetUp();
        exchange::ResetImportState();
        geodesy::DatumState& datums = geodesy::Datums();
        datums.FromCode = datums.UTMCode = datums.DestCode = "WGS84";
        geodesy::SetDefaultDatumIndexes();
        Show(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
    }
    void TearDown() override {
        exchange::ResetImportState();
        DistributionTest::TearDown();
    }

    // A file of these lines joined by `end`, Windows-1252.
    QString WriteLines(const QString& name, const QStringList& lines,
                       const char* end = "\r\n") const {
        QByteArray bytes;
        for (const QString& line : lines) {
            bytes += platform::EncodeWindows1252(line) + end;
        }
        return WriteFile(name, bytes);
    }
};

} // namespace import_test
