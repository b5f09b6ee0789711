#pragma once

// Independent readers of exported tables: Python's dbfread, zipfile and openpyxl, shapelib's DBF
// header reader, pxlib's Paradox reader and the sqlite3 shell. Each gives the table in one shape so
// that a test can hold every target to the same expectations.

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>

// pxlib's header does not declare C linkage itself.
extern "C" {
#include <paradox.h>
}
#include <map>
#include <shapefil.h>
#include <vector>

namespace export_test {

struct ReadColumn {
    QString name;
    QString type; // as the reader names it: "N", "C", "M"; "Long", "Alpha", "Number"; SQL types
    int size = 0; // 0 where the format has none
    int decimals = 0;
    bool operator==(const ReadColumn&) const = default;
};

// Cell values: numbers as double, texts as QString (an empty text where the target has none).
struct ReadTable {
    QStringList tables; // table or worksheet names, where the format has them
    std::vector<ReadColumn> columns;
    std::vector<std::vector<QVariant>> rows;
};

inline QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    const QByteArray error = process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << error.toStdString();
    return process.readAllStandardOutput();
}

// Runs a Python script on a file; its output read as JSON.
inline QJsonDocument RunPython(const QString& script, const QString& path) {
    return QJsonDocument::fromJson(
        RunTool(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path}));
}

inline QVariant CellOf(const QJsonValue& value) {
    if (value.isDouble()) {
        return value.toDouble();
    }
    if (value.isNull() || value.isUndefined()) {
        return QString();
    }
    return value.toString();
}

inline std::vector<std::vector<QVariant>> RowsOf(const QJsonArray& rows) {
    std::vector<std::vector<QVariant>> out;
    for (const QJsonValue& row : rows) {
        std::vector<QVariant> cells;
        for (const QJsonValue& cell : row.toArray()) {
            cells.push_back(CellOf(cell));
        }
        out.push_back(cells);
    }
    return out;
}

// dbfread, with the memo file it finds beside the table.
inline ReadTable ReadDbf(const QString& path) {
    const QString script = QStringLiteral(
        "import sys, json, dbfread\n"
        "t = dbfread.DBF(sys.argv[1], load=True)\n"
        "print(json.dumps({'columns': [[f.name, f.type, f.length, f.decimal_count] for f in "
        "t.fields], 'rows': [list(r.values()) for r in t.records]}))\n");
    const QJsonObject json = RunPython(script, path).object();
    ReadTable table;
    for (const QJsonValue& c : json[QStringLiteral("columns")].toArray()) {
        const QJsonArray f = c.toArray();
        table.columns.push_back({f[0].toString(), f[1].toString(), f[2].toInt(), f[3].toInt()});
    }
    table.rows = RowsOf(json[QStringLiteral("rows")].toArray());
    return table;
}

// shapelib's view of a DBF header: field names, types, widths and decimals, and the record count.
struct ShapelibHeader {
    int records = -1;
    std::vector<ReadColumn> columns;
};

inline ShapelibHeader ReadDbfHeader(const QString& path) {
    ShapelibHeader header;
    DBFHandle handle = DBFOpen(QFile::encodeName(path).constData(), "rb");
    if (handle == nullptr) {
        ADD_FAILURE() << "shapelib cannot open " << path.toStdString();
        return header;
    }
    header.records = DBFGetRecordCount(handle);
    for (int i = 0; i < DBFGetFieldCount(handle); ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0;
        int decimals = 0;
        DBFGetFieldInfo(handle, i, name, &width, &decimals);
        header.columns.push_back({QString::fromLatin1(name),
                                  QString(QLatin1Char(DBFGetNativeFieldType(handle, i))), width,
                                  decimals});
    }
    DBFClose(handle);
    return header;
}

// Python's zipfile: every part of a zip archive by name, each checked against its CRC-32 as it is
// read; the names in the central directory's order under "".
inline std::map<QString, QByteArray> ReadZipParts(const QString& path) {
    const QString script = QStringLiteral(
        "import sys, json, zipfile, base64\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "print(json.dumps([[i.filename, base64.b64encode(z.read(i)).decode()] for i in "
        "z.infolist()]))\n");
    const QJsonArray parts = RunPython(script, path).array();
    std::map<QString, QByteArray> out;
    QStringList names;
    for (const QJsonValue& part : parts) {
        const QJsonArray p = part.toArray();
        names << p[0].toString();
        out[p[0].toString()] = QByteArray::fromBase64(p[1].toString().toLatin1());
    }
    out[QString()] = names.join(QLatin1Char('\n')).toUtf8();
    return out;
}

// The parts of a workbook as ReadZipParts gives them, the time stamps of its document properties
// (the time it was written) replaced by "T".
inline std::map<QString, QByteArray> ReadXlsxParts(const QString& path) {
    std::map<QString, QByteArray> parts = ReadZipParts(path);
    QString core = QString::fromUtf8(parts[QStringLiteral("docProps/core.xml")]);
    core.replace(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ")),
                 QStringLiteral("T"));
    parts[QStringLiteral("docProps/core.xml")] = core.toUtf8();
    return parts;
}

// openpyxl: the worksheet names, row 1 as the columns, the other rows as values.
inline ReadTable ReadXlsx(const QString& path) {
    const QString script =
        QStringLiteral("import sys, json, openpyxl\n"
                       "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\n"
                       "ws = wb.worksheets[0]\n"
                       "print(json.dumps({'sheets': wb.sheetnames, 'rows': [list(r) for r in "
                       "ws.iter_rows(values_only=True)]}))\n");
    const QJsonObject json = RunPython(script, path).object();
    ReadTable table;
    for (const QJsonValue& name : json[QStringLiteral("sheets")].toArray()) {
        table.tables << name.toString();
    }
    std::vector<std::vector<QVariant>> rows = RowsOf(json[QStringLiteral("rows")].toArray());
    if (!rows.empty()) {
        for (const QVariant& name : rows.front()) {
            table.columns.push_back({name.toString(), {}, 0, 0});
        }
        rows.erase(rows.begin());
    }
    // A row whose last cells are empty comes back shorter.
    for (auto& row : rows) {
        row.resize(table.columns.size(), QString());
    }
    table.rows = rows;
    return table;
}

// The sqlite3 shell: the tables, the declared columns of the first one and its rows in rowid
// order.
inline ReadTable ReadSqlite(const QString& path) {
    ReadTable table;
    const QJsonArray names =
        QJsonDocument::fromJson(RunTool(QStringLiteral("sqlite3"),
                                        {QStringLiteral("-json"), path,
                                         QStringLiteral("SELECT name FROM sqlite_master WHERE "
                                                        "type = 'table' ORDER BY rowid")}))
            .array();
    for (const QJsonValue& name : names) {
        table.tables << name.toObject()[QStringLiteral("name")].toString();
    }
    if (table.tables.isEmpty()) {
        return table;
    }
    QString quoted = table.tables.front();
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    const QJsonArray info =
        QJsonDocument::fromJson(RunTool(QStringLiteral("sqlite3"),
                                        {QStringLiteral("-json"), path,
                                         QStringLiteral("SELECT name, type FROM "
                                                        "pragma_table_info('%1') ORDER BY cid")
                                             .arg(quoted)}))
            .array();
    QStringList selected;
    for (const QJsonValue& column : info) {
        const QJsonObject c = column.toObject();
        table.columns.push_back(
            {c[QStringLiteral("name")].toString(), c[QStringLiteral("type")].toString(), 0, 0});
    }
    // The values as an array per row, in column order, whatever the names.
    QString name = table.tables.front();
    name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    QStringList cells;
    for (const ReadColumn& column : table.columns) {
        QString c = column.name;
        c.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        cells << QStringLiteral("\"%1\"").arg(c);
    }
    const QJsonArray rows =
        QJsonDocument::fromJson(
            RunTool(QStringLiteral("sqlite3"),
                    {QStringLiteral("-json"), path,
                     QStringLiteral("SELECT json_array(%1) AS r FROM \"%2\" ORDER BY rowid")
                         .arg(cells.join(QStringLiteral(", ")), name)}))
            .array();
    QJsonArray arrays;
    for (const QJsonValue& row : rows) {
        arrays.append(
            QJsonDocument::fromJson(row.toObject()[QStringLiteral("r")].toString().toUtf8())
                .array());
    }
    table.rows = RowsOf(arrays);
    return table;
}

// pxlib's reader.
inline ReadTable ReadParadox(const QString& path) {
    ReadTable table;
    pxdoc_t* doc = PX_new();
    if (PX_open_file(doc, QFile::encodeName(path).constData()) < 0) {
        ADD_FAILURE() << "pxlib cannot open " << path.toStdString();
        PX_delete(doc);
        return table;
    }
    char* tableName = nullptr;
    PX_get_parameter(doc, "tablename", &tableName);
    table.tables << QString::fromLatin1(tableName);
    const int count = PX_get_num_fields(doc);
    pxfield_t* fields = PX_get_fields(doc);
    for (int i = 0; i < count; ++i) {
        QString type;
        switch (fields[i].px_ftype) {
        case pxfLong:
            type = QStringLiteral("Long");
            break;
        case pxfNumber:
            type = QStringLiteral("Number");
            break;
        case pxfAlpha:
            type = QStringLiteral("Alpha");
            break;
        default:
            type = QString::number(fields[i].px_ftype);
        }
        table.columns.push_back(
            {QString::fromLatin1(fields[i].px_fname), type, fields[i].px_flen, 0});
    }
    std::vector<char> data(static_cast<std::size_t>(PX_get_recordsize(doc)));
    for (int r = 0; r < PX_get_num_records(doc); ++r) {
        PX_get_record(doc, r, data.data());
        std::vector<QVariant> row;
        char* at = data.data();
        for (int i = 0; i < count; ++i) {
            const int length = fields[i].px_flen;
            if (fields[i].px_ftype == pxfLong) {
                long value = 0;
                const bool set = PX_get_data_long(doc, at, length, &value) > 0;
                row.emplace_back(set ? static_cast<double>(value) : 0.0);
            } else if (fields[i].px_ftype == pxfNumber) {
                double value = 0;
                const bool set = PX_get_data_double(doc, at, length, &value) > 0;
                row.emplace_back(set ? value : 0.0);
            } else {
                char* value = nullptr;
                const bool set = PX_get_data_alpha(doc, at, length, &value) > 0;
                row.emplace_back(set ? QString::fromLatin1(value) : QString());
                if (value != nullptr) {
                    doc->free(doc, value);
                }
            }
            at += length;
        }
        table.rows.push_back(row);
    }
    PX_close(doc);
    PX_delete(doc);
    return table;
}

} // namespace export_test
