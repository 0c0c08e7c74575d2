"""tabellix-batch on small folders of generated documents: which documents
get a row and where, and what the cells hold, read back with xlrd."""
import datetime
import os
import shutil
import sys
import tempfile
import unittest

from batch_support import BatchTestCase, Sheet, build_document

POOL = None  # documents built once, copied into each test's folder


def setUpModule():
    global POOL
    POOL = tempfile.mkdtemp()
    build_document(os.path.join(POOL, "werkstatt"), {"Title": "Werkstatt"})
    build_document(os.path.join(POOL, "hauptlager"), {"Title": "Hauptlager Nord"})
    build_document(os.path.join(POOL, "ohne"), {"Author": "Carla"})
    build_document(os.path.join(POOL, "gross"), {"Title": "LAGER OST"})
    with open(os.path.join(POOL, "kaputt"), "wb") as f:
        f.write(b"kein Verbunddokument" * 40)
    build_document(os.path.join(POOL, "gehaeuse"), {"Title": "Gehäuse", "Author": "Anna"},
                   {"Nummer": "123", "Nummer#Q": "4711"})
    build_document(os.path.join(POOL, "ohne_titel"), {}, {"Nummer": "12345"})
    build_document(os.path.join(POOL, "flansch"), {"Title": "Flansch", "Author": "Bea"},
                   {"Nummer": "4711", "Nummer#Q": ""})


def tearDownModule():
    shutil.rmtree(POOL)


class Selection(BatchTestCase):
    # Six documents in this order; the file names keep the scan order.
    FOLDER = ["1_werkstatt", "2_hauptlager", "3_ohne", "4_kaputt", "5_gross", "6_werkstatt"]
    TITLES = {"werkstatt": "Werkstatt", "hauptlager": "Hauptlager Nord", "ohne": None, "gross": "LAGER OST"}

    def fill(self):
        for name in self.FOLDER:
            shutil.copyfile(os.path.join(POOL, name[2:]), os.path.join(self.data, name + ".par"))

    def test_criteria_and_header_decide_the_rows(self):
        # (criterion, header row, documents that get a row, in order)
        cases = [
            ("Lager", "ja", ["2_hauptlager", "3_ohne", "4_kaputt", "5_gross"]),
            ("Lager", "nein", ["2_hauptlager", "3_ohne", "4_kaputt", "5_gross"]),
            ("empty", "1", ["3_ohne", "4_kaputt"]),
            (None, "", self.FOLDER),
        ]
        for criterion, header, selected in cases:
            with self.subTest(criterion=criterion, header=header):
                self.reset()
                self.fill()
                sections = {"Config": {"Kopfzeile": header, "Pattern": "par"}, "MapProperties": {"C": "Titel"}}
                if criterion:
                    sections["Criteria"] = {"Titel": criterion}
                result = self.run_with(sections)
                self.check_rows(Sheet(os.path.join(self.tmp, "Liste.xls")), header in ("ja", "1"), selected)
                self.assertIn("Geschriebene Zeilen:   %d\n" % len(selected), result.stdout.decode())
                searches = [line for line in self.log() if line == "Suche Titel"]
                self.assertEqual(len(searches), len(self.FOLDER) if criterion else 0)

    def check_rows(self, sheet, header, selected):
        first = 1
        if header:
            self.assertEqual(sheet.row(1, 3), ["Pfad", "Dateiname", "Titel"])
            self.assertTrue(sheet.row1_bold)
            first = 2
        # Unselected documents give their row to the next selected one.
        self.assertEqual(sheet.nrows, first - 1 + len(selected))
        for offset, name in enumerate(selected):
            row = first + offset
            self.assertEqual(sheet.row(row, 2), [self.data + "/", name + ".par"])
            title = sheet.value(row, 3)
            if name.endswith("kaputt"):
                # The unreadable document is kept, its error text in the cell.
                self.assertTrue(title.startswith("FEHLER"), title)
            else:
                self.assertEqual(title or None, self.TITLES[name[2:]])

    def test_without_mapping_rows_hold_folder_and_file_name(self):
        self.fill()
        result = self.run_with({"Config": {"Pattern": "par"}})
        self.assertIn("tabellix-batch: Warnung: In der Konfigurationsdatei fehlt die Sektion [MapProperties] oder es sind keine zu "
                      "mappende Properties definiert.", result.stderr.decode())
        sheet = Sheet(os.path.join(self.tmp, "Liste.xls"))
        self.assertEqual(sheet.nrows, len(self.FOLDER))
        self.assertEqual({col for _, col in sheet.cells}, {1, 2})


class Values(BatchTestCase):
    MAPPING = {"C": "Titel#L5", "D": "Nummer#Q", "E": "Nummer", "F": "%dateityp", "G": "erstelldatum",
               "H": "Autor", "I": "Erstellt"}

    def test_limits_quotes_special_names_and_format_marks(self):
        for source, name in [("gehaeuse", "a1.par"), ("ohne_titel", "a2.PSM"), ("flansch", "a3.par")]:
            shutil.copyfile(os.path.join(POOL, source), os.path.join(self.data, name))
        result = self.run_with({
            "Config": {"Kopfzeile": "ja", "Pattern": "par PSM"},
            "MapProperties": self.MAPPING,
            # Seven ASCII letters: "Gehäuse" and the empty title fail, "Flansch" passes.
            "Titel": {"Format0": "!!!!!!!"},
            "Nummer": {"Format0": "999", "Format1": "9999"},
        })
        sheet = Sheet(os.path.join(self.tmp, "Liste.xls"))
        self.assertEqual(sheet.row(1, 9), ["Pfad", "Dateiname", "Titel", "Nummer#Q", "Nummer", "%dateityp",
                                           "erstelldatum", "Autor", "Erstellt"])
        self.assertEqual(sheet.nrows, 4)
        # Folder and file name, then shortened, quoted, plain, lower-cased extension; date and author apart.
        self.assertEqual([sheet.row(r, 6) for r in (2, 3, 4)], [
            [self.data + "/", "a1.par", "Gehäu", '"4711"', "123", "par"],
            [self.data + "/", "a2.PSM", "", '""', "12345", "psm"],
            [self.data + "/", "a3.par", "Flans", '""', "4711", "par"],
        ])
        self.assertEqual([sheet.value(r, 8) for r in (2, 3, 4)], ["Anna", "", "Bea"])

        # Every mapped cell is text-formatted, also where it stayed empty;
        # folder and file name keep the general format.
        for row in (2, 3, 4):
            for col in range(3, 10):
                self.assertEqual(sheet.cells[(row, col)]["format"], "@", (row, col))
            for col in (1, 2):
                self.assertNotEqual(sheet.cells[(row, col)]["format"], "@", (row, col))
        self.assertEqual(sheet.cells[(3, 3)]["type"], 6)  # blank: no value put under the length limit

        self.assertEqual(sheet.marked(), {(2, 3), (3, 3), (3, 5)})
        errors = [line for line in self.log() if line.startswith("FEHLER")]
        self.assertEqual(errors, ["FEHLER: Ungültiges Format für Titel", "FEHLER: Ungültiges Format für Titel",
                                  "FEHLER: Ungültiges Format für Nummer"])
        self.assertIn("Markierte Zeilen:      2\n", result.stdout.decode())

        for row, name in [(2, "a1.par"), (3, "a2.PSM"), (4, "a3.par")]:
            created = datetime.datetime.strptime(sheet.value(row, 7), "%d.%m.%Y %H:%M:%S")
            written = datetime.datetime.fromtimestamp(os.stat(os.path.join(self.data, name)).st_mtime)
            self.assertLessEqual(abs((created - written).total_seconds()), 5, sheet.value(row, 7))
            self.assertEqual(sheet.value(row, 9), sheet.value(row, 7))  # the other name, any letter case


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
