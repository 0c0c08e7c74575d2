"""One run written as .xls and as .xlsx, with text cells and with typed ones
(Zelltypen): both workbooks hold the same cells (value, type, format, bold
header, yellow marks) and the same layout (widths, frozen header, filter), as
readers we did not write see them; xlrd reads the typed cells of the .xls as
numbers and dates, and LibreOffice and Gnumeric open the .xlsx without a
warning and see the same types."""
import datetime
import glob
import gzip
import json
import os
import shutil
import subprocess
import sys
import unittest

from batch_support import CUSTOM_ID, DOC_SUMMARY_ID, SUMMARY_ID, TOOLS, BatchTestCase
from workbook_cells import read_workbook

READERS = shutil.which("soffice") and shutil.which("ssconvert")
VT_I2, VT_I4, VT_R4, VT_R8, VT_BOOL, VT_I8, VT_LPSTR, VT_FILETIME = 2, 3, 4, 5, 11, 20, 30, 64
CHECKED = datetime.datetime(2026, 12, 5, 17, 24, 3, tzinfo=datetime.timezone.utc)

MAPPING = {"C": "Titel", "D": "Stückzahl", "E": "Dichte", "F": "Geprüft", "G": "Freigabe", "H": "Großzahl",
           "I": "Nummer", "J": "Stückzahl#L2", "K": "Menge#Q", "L": "Erstelldatum", "M": "%Dateityp",
           "N": "Total Editing Time", "O": "Stückzahl#L5"}

# The typed cells of a.par's row: the kind of each column C to O, and the value where it is fixed.
TYPED_ROW = [("text", "Welle"), ("number", 217.0), ("number", 7.85),
             ("date", CHECKED.astimezone().replace(tzinfo=None)), ("text", "Wahr"),
             ("text", "1234567890123456"),   # more digits than a cell shows
             ("text", "0042"),               # a text, however it looks
             ("text", "21"),                 # cut by #L
             ("text", '"4711"'),             # quoted by #Q
             ("date", None), ("text", "par"),
             ("text", "01.01.1601 01:00:00"),  # a duration kept as a date no spreadsheet shows
             ("number", 217.0)]


def filetime(moment):
    return str(int((moment - datetime.datetime(1601, 1, 1, tzinfo=datetime.timezone.utc)).total_seconds()) * 10**7)


def write_document(path, summary, custom):
    """A document of (id, type, value) summary properties and (name, type, value) user-defined ones."""
    layout = {"streams": [
        {"name": "\u0005SummaryInformation", "sections": [{"formatId": SUMMARY_ID, "codePage": 1252, "properties": [
            {"id": pid, "type": t, "value": v, "name": ""} for pid, t, v in summary]}]},
        {"name": "\u0005DocumentSummaryInformation", "sections": [
            {"formatId": DOC_SUMMARY_ID, "codePage": 1252, "properties": []},
            {"formatId": CUSTOM_ID, "codePage": 65001, "properties": [
                {"id": 2 + i, "type": t, "value": v, "name": n} for i, (n, t, v) in enumerate(custom)]}]},
    ]}
    with open(path + ".json", "w", encoding="utf-8") as f:
        json.dump(layout, f)
    subprocess.run([os.path.join(TOOLS, "tbx-samplegen"), "build", path, path + ".json"], check=True, timeout=120)
    os.remove(path + ".json")


class XlsxWorkbooks(BatchTestCase):
    def setUp(self):
        super().setUp()
        write_document(os.path.join(self.data, "a.par"),
                       [(2, VT_LPSTR, "Welle"), (10, VT_FILETIME, str(3600 * 10**7))],
                       [("Stückzahl", VT_I4, 217), ("Dichte", VT_R8, 7.85), ("Geprüft", VT_FILETIME, filetime(CHECKED)),
                        ("Freigabe", VT_BOOL, True), ("Großzahl", VT_I8, 1234567890123456),
                        ("Nummer", VT_LPSTR, "0042"), ("Menge#Q", VT_I4, 4711)])
        write_document(os.path.join(self.data, "b.par"), [(2, VT_LPSTR, "Lager")],
                       [("Stückzahl", VT_I2, 42), ("Dichte", VT_R4, 2.5), ("Freigabe", VT_BOOL, False)])
        with open(os.path.join(self.data, "kaputt.par"), "wb") as f:
            f.write(b"kein Verbunddokument" * 30)

    def run_both(self, typed):
        """The workbooks of one configuration as .xls and as .xlsx."""
        books = []
        for workbook in (typed + ".xls", typed + ".xlsx"):
            self.run_with({"Config": {"Kopfzeile": "ja", "Pattern": "par", "Zelltypen": typed},
                           "MapProperties": MAPPING, "Stückzahl": {"Format0": "99"}}, workbook=workbook)
            books.append(os.path.join(self.tmp, workbook))
        return books

    def test_both_formats_hold_the_same_cells_text_and_typed(self):
        for typed in ("nein", "ja"):
            with self.subTest(Zelltypen=typed):
                xls, xlsx = (read_workbook(path) for path in self.run_both(typed))
                self.assertEqual(xls, xlsx)
                cells = xls["cells"]
                self.assertEqual(xls["frozen"], "A2")
                self.assertEqual(xls["filter"], "A1:O4")
                self.assertTrue(all(cells[(1, c)][3] for c in range(1, 16)), "bold header")
                # Stückzahl 217 misses its pattern 99, in each column that shows it.
                self.assertEqual({rc for rc, cell in cells.items() if cell[4] and rc[0] == 2}, {(2, 4), (2, 10), (2, 15)})
                row = [cells[(2, c)] for c in range(3, 16)]
                if typed == "nein":
                    self.assertEqual({cell[0] for cell in cells.values()}, {"text"})
                    continue
                self.assertEqual([(kind, value if expected is not None else None)
                                  for (kind, value, *_), (_, expected) in zip(row, TYPED_ROW)], TYPED_ROW)
                self.assertEqual([cell[2] for cell in row if cell[0] == "date"], ["DD.MM.YYYY hh:mm:ss"] * 2)
                self.assertEqual([cells[(3, c)][:2] for c in (4, 5, 10)],
                                 [("number", 42.0), ("number", 2.5), ("number", 42.0)])
                # An unreadable document's error texts stay text; its creation date is a date.
                self.assertEqual({cells[(4, c)][0] for c in range(3, 16) if (4, c) in cells and c != 12}, {"text"})
                self.assertEqual(cells[(4, 12)][0], "date")

    @unittest.skipUnless(READERS or os.environ.get("CI") == "true", "LibreOffice und Gnumeric fehlen")
    def test_libreoffice_and_gnumeric_open_the_xlsx_and_see_its_types(self):
        _, xlsx = self.run_both("ja")
        numbers, dates = 7, 4  # rows 2 and 3 as above; every row has its creation date
        profile = "file://" + os.path.join(self.tmp, "lo-profile")
        r = subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to", "fods",
                            "--outdir", self.tmp, xlsx], capture_output=True, text=True, timeout=300)
        # Without Java LibreOffice says so, whatever it opens.
        complaints = [line for line in r.stderr.splitlines() if "javaldx" not in line]
        self.assertEqual((r.returncode, complaints), (0, []))
        with open(glob.glob(os.path.join(self.tmp, "*.fods"))[0], encoding="utf-8") as f:
            calc = f.read()
        self.assertEqual((calc.count('office:value-type="float"'), calc.count('office:value-type="date"')),
                         (numbers, dates))

        out = os.path.join(self.tmp, "liste.gnumeric")
        r = subprocess.run(["ssconvert", xlsx, out], capture_output=True, text=True, timeout=120)
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        with gzip.open(out, "rt", encoding="utf-8") as f:
            self.assertEqual(f.read().count('ValueType="40"'), numbers + dates)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
