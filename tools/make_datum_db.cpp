// Builds the datum database (tables Datum and ELLI) from the two CSV files of resources/datum.
//   make_datum_db datums.csv ellipsoids.csv DATUM.MDB
#include <SQLiteCpp/SQLiteCpp.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Row = std::vector<std::string>;

// RFC 4180: fields separated by commas, a quoted field may hold commas and doubled quotes.
Row ParseCsvLine(const std::string& line) {
    Row fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

std::vector<Row> ReadCsv(const std::string& path, std::size_t columns) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    std::string line;
    std::getline(in, line); // header
    std::vector<Row> rows;
    int lineNumber = 1;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (line.empty()) {
            continue;
        }
        Row row = ParseCsvLine(line);
        if (row.size() != columns) {
            throw std::runtime_error(path + ":" + std::to_string(lineNumber) + ": expected " +
                                     std::to_string(columns) + " fields, found " +
                                     std::to_string(row.size()));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: make_datum_db datums.csv ellipsoids.csv DATUM.MDB\n";
        return 2;
    }
    try {
        const auto datums = ReadCsv(argv[1], 10);
        const auto ellipsoids = ReadCsv(argv[2], 5);
        const std::string output = argv[3];
        const std::string temporary = output + ".tmp";
        std::filesystem::remove(temporary);
        {
            SQLite::Database db(temporary, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            // Text columns compare and sort without case, as the original database engine did.
            db.exec("CREATE TABLE Datum (Code TEXT COLLATE NOCASE, Name TEXT COLLATE NOCASE, "
                    "Applic TEXT COLLATE NOCASE, da INTEGER, df REAL, dx REAL, dy REAL, dz REAL, "
                    "Use INTEGER, ELLI_ID INTEGER)");
            db.exec("CREATE TABLE ELLI (ELLI_ID INTEGER, ELLI TEXT COLLATE NOCASE, "
                    "ELLI_NAME TEXT COLLATE NOCASE, A REAL, f_Inv REAL)");
            SQLite::Transaction transaction(db);
            SQLite::Statement insertDatum(db, "INSERT INTO Datum (Code, Name, Applic, da, df, dx, "
                                              "dy, dz, Use, ELLI_ID) VALUES (?,?,?,?,?,?,?,?,?,?)");
            for (const Row& r : datums) {
                insertDatum.bind(1, r[0]);
                insertDatum.bind(2, r[1]);
                insertDatum.bind(3, r[2]);
                insertDatum.bind(4, std::stoi(r[3]));
                for (int c = 4; c <= 7; ++c) {
                    insertDatum.bind(c + 1, std::stod(r[static_cast<std::size_t>(c)]));
                }
                insertDatum.bind(9, std::stoi(r[8]));
                insertDatum.bind(10, std::stoi(r[9]));
                insertDatum.exec();
                insertDatum.reset();
            }
            SQLite::Statement insertEllipsoid(
                db, "INSERT INTO ELLI (ELLI_ID, ELLI, ELLI_NAME, A, f_Inv) VALUES (?,?,?,?,?)");
            for (const Row& r : ellipsoids) {
                insertEllipsoid.bind(1, std::stoi(r[0]));
                insertEllipsoid.bind(2, r[1]);
                insertEllipsoid.bind(3, r[2]);
                insertEllipsoid.bind(4, std::stod(r[3]));
                insertEllipsoid.bind(5, std::stod(r[4]));
                insertEllipsoid.exec();
                insertEllipsoid.reset();
            }
            transaction.commit();
        }
        std::filesystem::rename(temporary, output);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "make_datum_db: " << e.what() << "\n";
        return 1;
    }
}
