"""The workbook laid out for reading, as three readers we did not write see it:
columns as wide as their longest text (up to a limit), and with the header
switch on the header row frozen and carrying an autofilter. No cell changes."""
import glob
import gzip
import os
import re
import shutil
import subprocess
import sys
import unittest

import xlrd

from batch_support import BatchTestCase, Sheet, build_document

READERS = shutil.which("soffice") and shutil.which("ssconvert")


@unittest.skipUnless(READERS or os.environ.get("CI") == "true", "LibreOffice und Gnumeric fehlen")
class WorkbookLayout(BatchTestCase):
    def run_layout(self, header):
        long_title = "Getriebegehäuse mit Flansch DN50 und Lagerdeckel"
        build_document(os.path.join(self.data, "a.par"), {"Title": long_title, "Author": "Anna"})
        build_document(os.path.join(self.data, "b.par"), {"Title": "Welle", "Author": "Bea"})
        self.run_with({"Config": {"Kopfzeile": header}, "MapProperties": {"C": "Titel", "D": "Autor"}})
        path = os.path.join(self.tmp, "Liste.xls")
        rows = 3 if header == "ja" else 2
        self.assertEqual(Sheet(path).row(rows, 4), [self.data + "/", "b.par", "Welle", "Bea"])
        return path, len(long_title)

    def gnumeric(self, path):
        out = os.path.join(self.tmp, "liste.gnumeric")
        r = subprocess.run(["ssconvert", path, out], capture_output=True, text=True, timeout=120)
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        with gzip.open(out, "rt", encoding="utf-8") as f:
            return f.read()

    def libreoffice(self, path):
        profile = "file://" + os.path.join(self.tmp, "lo-profile")
        r = subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to", "fods",
                            "--outdir", self.tmp, path], capture_output=True, text=True, timeout=300)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(glob.glob(os.path.join(self.tmp, "*.fods"))[0], encoding="utf-8") as f:
            return f.read()

    def test_widths_frozen_header_and_filter(self):
        for header in ("ja", "nein"):
            with self.subTest(header=header):
                self.reset()
                path, title = self.run_layout(header)
                book = xlrd.open_workbook(path, formatting_info=True)
                sheet = book.sheet_by_index(0)
                # Column A holds the folder, C the long title: each as wide as its text plus one.
                self.assertEqual(sheet.colinfo_map[0].width, (len(self.data) + 2) * 256)
                self.assertEqual(sheet.colinfo_map[2].width, (title + 1) * 256)
                self.assertNotIn(3, sheet.colinfo_map)  # "Anna" fits the default width
                frozen = header == "ja"
                self.assertEqual((bool(sheet.panes_are_frozen), sheet.horz_split_pos), (frozen, 1 if frozen else 0))
                self.assertEqual("_filterdatabase" in book.name_map, frozen)

                gnumeric = self.gnumeric(path)
                self.assertIn('<gnm:ColInfo No="2"', gnumeric)
                self.assertEqual('<gnm:FreezePanes FrozenTopLeft="A1" UnfrozenTopLeft="A2"/>' in gnumeric, frozen)

                calc = self.libreoffice(path)
                filters = re.findall(r'table:target-range-address="([^"]*)" table:display-filter-buttons="true"', calc)
                self.assertEqual(filters, ["Tabelle1.A1:Tabelle1.D3"] if frozen else [])
                widths = [float(w) for w in re.findall(r'style:column-width="([0-9.]+)in"', calc)]
                self.assertGreater(max(widths), 3.0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
