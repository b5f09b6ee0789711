#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_datum_loader: a few tiny datum databases (small pages, a few
rows), each showing one shape the loader must handle.

    fuzz/make_datum_loader_seeds.py [folder]   (default: fuzz/corpus/fuzz_datum_loader)
"""
import os
import sqlite3
import sys

DATUM = ("CREATE TABLE Datum (Code TEXT COLLATE NOCASE, Name TEXT COLLATE NOCASE, "
         "Applic TEXT COLLATE NOCASE, da INTEGER, df REAL, dx REAL, dy REAL, dz REAL, "
         "Use INTEGER, ELLI_ID INTEGER)")
ELLI = "CREATE TABLE ELLI (ELLI_ID INTEGER, ELLI TEXT, ELLI_NAME TEXT, A REAL, f_Inv REAL)"
ROWS = [
    "INSERT INTO Datum VALUES ('EUR-M', 'EUROPEAN 1950', 'Mean', -251, -1.4e-5, -87, -98, "
    "-121, 4, 2)",
    "INSERT INTO Datum VALUES ('WGS84', 'WGS 1984', 'Global', 0, 0, 0, 0, 0, 4, 1)",
    "INSERT INTO Datum VALUES ('OFF', 'unused', 'x', 0, 0, 0, 0, 0, 0, 1)",
    "INSERT INTO ELLI VALUES (1, 'WE', 'WGS 1984', 6378137, 298.257223563)",
    "INSERT INTO ELLI VALUES (2, 'IN', 'International 1924', 6378388, 297)",
]
ENDLESS = ("CREATE VIEW Datum AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
           "SELECT 'C' || i AS Code, 'N' AS Name, 'A' AS Applic, 0 AS da, 0.0 AS df, 0.0 AS dx, "
           "0.0 AS dy, 0.0 AS dz, 1 AS Use, 1 AS ELLI_ID FROM n")

SEEDS = {
    "valid": [DATUM, ELLI] + ROWS,
    "endless_view": [ENDLESS, ELLI] + ROWS[3:],
    "null_name": [DATUM, ELLI,
                  "INSERT INTO Datum VALUES ('A', NULL, 'x', 0, 0, 0, 0, 0, 1, 1)"] + ROWS[3:],
    "no_ellipsoids": [DATUM, ELLI] + ROWS[:3],
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "corpus", "fuzz_datum_loader")
    os.makedirs(folder, exist_ok=True)
    for name, statements in SEEDS.items():
        path = os.path.join(folder, name)
        if os.path.exists(path):
            os.remove(path)
        db = sqlite3.connect(path)
        db.execute("PRAGMA page_size = 512")
        for statement in statements:
            db.execute(statement)
        db.commit()
        db.execute("VACUUM")
        db.close()
    # An empty file is an empty database to SQLite: neither table is there.
    open(os.path.join(folder, "empty"), "wb").close()


if __name__ == "__main__":
    main()
