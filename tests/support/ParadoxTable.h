#pragma once

// Paradox tables written with pxlib, as tests need them: each field an Alpha text of its length
// (in Windows-1252), a Number (double), a Long Integer or a Date.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <variant>
#include <vector>

extern "C" {
#include <paradox.h>
}

namespace testing_support {

struct ParadoxField {
    enum class Type { Alpha, Number, Long, Date };
    const char* name;
    Type type;
    int length = 0; // Alpha only
};

// A cell: text, number, whole number, or a date as {year, month, day}.
struct ParadoxDate {
    int year, month, day;
};
using ParadoxCell = std::variant<QString, double, long, ParadoxDate>;

inline void WriteParadoxTable(const QString& path, const std::vector<ParadoxField>& fields,
                              const std::vector<std::vector<ParadoxCell>>& rows) {
    PX_boot();
    pxdoc_t* doc = PX_new();
    ASSERT_NE(doc, nullptr);
    // pxlib frees the field array and its names with the document.
    auto* defs = static_cast<pxfield_t*>(std::calloc(fields.size(), sizeof(pxfield_t)));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        defs[i].px_fname = strdup(fields[i].name);
        switch (fields[i].type) {
        case ParadoxField::Type::Alpha:
            defs[i].px_ftype = pxfAlpha;
            defs[i].px_flen = fields[i].length;
            break;
        case ParadoxField::Type::Number:
            defs[i].px_ftype = pxfNumber;
            defs[i].px_flen = 8;
            break;
        case ParadoxField::Type::Long:
            defs[i].px_ftype = pxfLong;
            defs[i].px_flen = 4;
            break;
        case ParadoxField::Type::Date:
            defs[i].px_ftype = pxfDate;
            defs[i].px_flen = 4;
            break;
        }
    }
    ASSERT_GE(PX_create_file(doc, defs, static_cast<int>(fields.size()),
                             QFile::encodeName(path).constData(), pxfFileTypNonIndexDB),
              0);
    PX_set_parameter(doc, "tablename", "table");
    PX_set_value(doc, "codepage", 1252);
    std::vector<char> record(static_cast<std::size_t>(PX_get_recordsize(doc)));
    int written = 0;
    for (const auto& row : rows) {
        std::fill(record.begin(), record.end(), '\0');
        char* at = record.data();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int length = defs[i].px_flen;
            if (const auto* text = std::get_if<QString>(&row[i])) {
                QByteArray bytes = QStringEncoder("windows-1252").encode(*text);
                PX_put_data_alpha(doc, at, length, bytes.data());
            } else if (const auto* number = std::get_if<double>(&row[i])) {
                PX_put_data_double(doc, at, length, *number);
            } else if (const auto* whole = std::get_if<long>(&row[i])) {
                PX_put_data_long(doc, at, length, static_cast<int>(*whole));
            } else {
                const ParadoxDate& date = std::get<ParadoxDate>(row[i]);
                // Days from 1 January 0001, counted from 1.
                PX_put_data_long(
                    doc, at, length,
                    static_cast<int>(PX_GregorianToSdn(date.year, date.month, date.day) - 1721425));
            }
            at += length;
        }
        ASSERT_GE(PX_put_recordn(doc, record.data(), written++), 0);
    }
    PX_close(doc);
    PX_delete(doc);
    PX_shutdown();
}

} // namespace testing_support
