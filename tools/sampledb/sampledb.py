#!/usr/bin/python3
"""Builds the sample database of Tabellix's database mode.

One data set, two forms: an SQLite file (--sqlite) and an SQL script for
PostgreSQL that creates the same tables in the schema ulvo (--postgres).

Tables:
  documents               one record per document, keyed by the lower-cased
                          file name (what "%Id" is replaced by)
  KRV_CLASS               class id -> table of the class's objects
  KRV_CLASS_DESCRIPTION   column of a class -> class its values refer to;
                          the document columns are those of class 5
  users                   OBJECT_ID, LOGIN (shown for references), DESCRIPTION
  materials               OBJECT_ID, DESCRIPTION (another referenced class)

In SQLite the file has no schemas; Tabellix attaches the file to itself under
the configured Database name (use "ulvo"), so ulvo.documents and
ulvo.KRV_CLASS resolve there as they do in PostgreSQL.

The documents are a few fixed ones that show the interesting cases, plus the
file names of --names (a text file, one file name or path per line, "#"
comments; "-" reads standard input) and --count generated ones
(teil-00001.par, ...).

    sampledb.py --sqlite sample.db --names tree-files.txt
    sampledb.py --postgres sample.sql --count 100

Configuration sections that read the SQLite file:

    [SQL]
    DoSQL=ja
    Select=*
    From=ulvo.documents
    Where=FILE_NAME='%Id'
    [ODBC]
    Provider=SQLite
    DataSource=/pfad/zu/sample.db
    Database=ulvo
    Username=leser
    Password=lesen
    [SQLMapProperties]
    C=DOC_NR
    D=TITEL
    E=GEWICHT
    F=r:BEARBEITER
    G=r:MATERIAL

SQLite has no users; Username and Password are required by the settings
and ignored by the file.
"""

import argparse
import os
import sqlite3
import sys

USERS = [
    (1, "mmueller", "Maria Müller"),
    (2, "jschmidt", "Jan Schmidt"),
    (3, "akoenig", "Anna König"),
    (4, "", "Konto ohne Anmeldenamen"),
]
MATERIALS = [
    (101, "S235JR Baustahl"),
    (102, "AlMg3 Aluminium"),
    (103, "1.4301 Edelstahl"),
    (104, ""),
]
# (class, table): 12 is referred to but has no table, 13 an empty table name.
CLASSES = [(5, "documents"), (7, "users"), (9, "materials"), (13, "")]
# (class, column, referred class)
CLASS_DESCRIPTIONS = [
    (5, "BEARBEITER", 7),
    (5, "PRUEFER", 7),
    (5, "MATERIAL", 9),
    (5, "STATUS", 12),
    (5, "ABLAGE", 13),
    (6, "TITEL", 9),  # another class: document titles are no references
]

COLUMNS = ["FILE_NAME", "DOC_NR", "TITEL", "REVISION", "GEWICHT", "BEARBEITER", "PRUEFER", "MATERIAL",
           "STATUS", "ABLAGE"]

# Documents that show the interesting cases of the reference look-up.
FIXED_DOCUMENTS = [
    ("welle 12.par", "DOC-0001", "Antriebswelle", 3, 1.5, 1, 2, 101, 1, 1),
    ("o'brien.par", "DOC-0002", "Halter O'Brien", 1, 0.25, 2, None, 102, None, None),
    ("wälzlager.psm", "DOC-0003", "Wälzlager Gehäuse", 2, 12.75, 3, 1, 103, None, None),
    ("ohne bearbeiter.par", "DOC-0004", "Deckel", 0, None, None, None, None, None, None),
    ("unbekannt.par", "DOC-0005", "Flansch", 1, 2.0, 999, 4, 104, None, None),
    ("gruppe a.par", "DOC-0011", "Gruppe A", 1, 1.0, 1, None, 101, None, None),
    ("gruppe b.par", "DOC-0012", "Gruppe B", 1, 1.0, 2, None, 102, None, None),
    ("gruppe c.par", "DOC-0013", "Gruppe C", 1, 1.0, 3, None, 103, None, None),
]


def file_names(names_file, count):
    names = []
    if names_file:
        stream = sys.stdin if names_file == "-" else open(names_file, encoding="utf-8")
        with stream:
            for line in stream:
                line = line.strip()
                if line and not line.startswith("#"):
                    names.append(line.replace("\\", "/").rsplit("/", 1)[-1].lower())
    names.extend("teil-%05d.par" % i for i in range(1, count + 1))
    return names


def documents(extra_names):
    rows = list(FIXED_DOCUMENTS)
    seen = {r[0] for r in rows}
    for name in extra_names:
        if not name or name in seen:
            continue
        seen.add(name)
        i = len(rows) + 1
        title = os.path.splitext(name)[0].replace("-", " ").replace("_", " ").title()
        rows.append((name, "DOC-%05d" % i, title, i % 5, round(0.5 + (i % 40) * 0.25, 2),
                     USERS[i % 3][0], USERS[(i + 1) % 3][0], MATERIALS[i % 3][0], None, None))
    return rows


def sql_value(v):
    if v is None:
        return "NULL"
    if isinstance(v, str):
        return "'" + v.replace("'", "''") + "'"
    return repr(v)


def statements(prefix, docs):
    """The SQL that creates and fills the tables; prefix is "ulvo." or ""."""
    out = [
        f"CREATE TABLE {prefix}KRV_CLASS (CLASS_ID INTEGER PRIMARY KEY, TABLE_NAME VARCHAR(64))",
        f"CREATE TABLE {prefix}KRV_CLASS_DESCRIPTION (CLASS_ID INTEGER NOT NULL, COL_NAME VARCHAR(64) NOT NULL,"
        " REF_CLASS_ID INTEGER, PRIMARY KEY (CLASS_ID, COL_NAME))",
        f"CREATE TABLE {prefix}users (OBJECT_ID INTEGER PRIMARY KEY, LOGIN VARCHAR(64), DESCRIPTION VARCHAR(200))",
        f"CREATE TABLE {prefix}materials (OBJECT_ID INTEGER PRIMARY KEY, DESCRIPTION VARCHAR(200))",
        f"CREATE TABLE {prefix}documents (FILE_NAME VARCHAR(260) PRIMARY KEY, DOC_NR VARCHAR(32),"
        " TITEL VARCHAR(200), REVISION INTEGER, GEWICHT DOUBLE PRECISION, BEARBEITER INTEGER,"
        " PRUEFER INTEGER, MATERIAL INTEGER, STATUS INTEGER, ABLAGE INTEGER)",
    ]

    def inserts(table, columns, rows, batch=500):
        for start in range(0, len(rows), batch):
            values = ",\n  ".join("(" + ", ".join(sql_value(v) for v in r) + ")" for r in rows[start:start + batch])
            out.append(f"INSERT INTO {prefix}{table} ({', '.join(columns)}) VALUES\n  {values}")

    inserts("KRV_CLASS", ["CLASS_ID", "TABLE_NAME"], CLASSES)
    inserts("KRV_CLASS_DESCRIPTION", ["CLASS_ID", "COL_NAME", "REF_CLASS_ID"], CLASS_DESCRIPTIONS)
    inserts("users", ["OBJECT_ID", "LOGIN", "DESCRIPTION"], USERS)
    inserts("materials", ["OBJECT_ID", "DESCRIPTION"], MATERIALS)
    inserts("documents", COLUMNS, docs)
    return out


def write_sqlite(path, docs):
    if os.path.exists(path):
        os.remove(path)
    with sqlite3.connect(path) as db:
        for s in statements("", docs):
            db.execute(s)
    db.close()


def write_postgres(path, docs):
    with open(path, "w", encoding="utf-8") as f:
        f.write("-- Tabellix sample database (schema ulvo), built by tools/sampledb/sampledb.py\n")
        f.write("SET client_encoding = 'UTF8';\nCREATE SCHEMA ulvo;\n")
        for s in statements("ulvo.", docs):
            f.write(s + ";\n")


def main():
    parser = argparse.ArgumentParser(description="Builds the sample database of Tabellix's database mode.")
    parser.add_argument("--sqlite", help="SQLite database file to write (replaced)")
    parser.add_argument("--postgres", help="SQL script for PostgreSQL to write (schema ulvo)")
    parser.add_argument("--names", help="file with one document file name or path per line ('-': stdin)")
    parser.add_argument("--count", type=int, default=0, help="number of generated documents teil-NNNNN.par")
    args = parser.parse_args()
    if not args.sqlite and not args.postgres:
        parser.error("nothing to write: give --sqlite and/or --postgres")
    if args.count < 0 or args.count > 1000000:
        parser.error("--count must lie between 0 and 1000000")
    docs = documents(file_names(args.names, args.count))
    if args.sqlite:
        write_sqlite(args.sqlite, docs)
    if args.postgres:
        write_postgres(args.postgres, docs)
    print(f"{len(docs)} Dokumente", file=sys.stderr)


if __name__ == "__main__":
    main()
