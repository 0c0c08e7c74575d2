"""tabellix-batch on a generated tree of 2,500 documents with maxRange 1001:
three workbook files, each with its share of the rows, and the log lines of
the part switches in their places; an .xlsx run makes the same parts."""
import json
import os
import re
import subprocess
import sys
import unittest

from batch_support import TOOLS, BatchTestCase, Sheet
from workbook_cells import read_workbook

EXTENSIONS = ("par", "psm", "asm", "dft")
DOCUMENTS = 2500
LINE = re.compile(r"^(\d+): Bearbeite (.*)$")


def title_in(entry):
    for s in entry.get("sets", []):
        if s["name"] == "SummaryInformation":
            for p in s["properties"]:
                if p["id"] == 2:
                    return p["text_de"]
    return ""


class Parts(BatchTestCase):
    def make_tree(self):
        """Exactly DOCUMENTS documents that the scan finds; their manifest entries by path."""
        manifest = os.path.join(self.tmp, "manifest.json")
        subprocess.run([os.path.join(TOOLS, "tbx-samplegen"), "tree", self.data, "--count", "3400", "--seed", "11",
                        "--manifest", manifest], check=True, timeout=600, capture_output=True)
        with open(manifest, encoding="utf-8") as f:
            files = json.load(f)["files"]
        found = sorted((f for f in files if f["role"] in ("document", "damaged") and not f["hidden"] and
                        f.get("extension") in EXTENSIONS), key=lambda f: f["path"])
        self.assertGreaterEqual(len(found), DOCUMENTS)
        for surplus in found[DOCUMENTS:]:
            os.remove(os.path.join(self.data, surplus["path"]))
        return {os.path.join(self.data, f["path"]): f for f in found[:DOCUMENTS]}

    def test_2500_documents_fill_three_parts(self):
        documents = self.make_tree()
        result = self.run_with({"Config": {"maxRange": "1001", "Pattern": " ".join(EXTENSIONS), "Kopfzeile": "ja"},
                                "MapProperties": {"C": "Titel"}})
        base = os.path.join(self.tmp, "Liste")
        parts = [base + "_000.xls", base + "_001.xls", base + "_002.xls"]
        self.assertEqual(sorted(f for f in os.listdir(self.tmp) if f.endswith(".xls")),
                         ["Liste_000.xls", "Liste_001.xls", "Liste_002.xls"])

        log = self.log()
        self.assertIn("%d gefundene Dateien werden ausgelesen" % DOCUMENTS, log)
        processed = [LINE.match(line).groups() for line in log if LINE.match(line)]
        self.assertEqual([int(i) for i, _ in processed], list(range(1, DOCUMENTS + 1)))
        self.assertEqual(sorted(path for _, path in processed), sorted(documents))

        # The first file is saved after document 1001, the second after document 2002.
        def at(line):
            return log.index(line)
        for done, saved, opened in [(1001, parts[0], parts[1]), (2002, parts[1], parts[2])]:
            self.assertLess(at("%s: Bearbeite %s" % processed[done - 1]), at("Excel-Mappe speichern: " + saved))
            self.assertLess(at("Excel-Mappe speichern: " + saved), at("Neue Excel-Mappe anlegen: " + opened))
            self.assertLess(at("Neue Excel-Mappe anlegen: " + opened), at("%s: Bearbeite %s" % processed[done]))
        self.assertEqual([l for l in log if l.startswith("Excel-Mappe speichern: ")],
                         ["Excel-Mappe speichern: " + p for p in parts[:2]])
        self.assertEqual([l for l in log if l.startswith("Neue Excel-Mappe anlegen: ")],
                         ["Neue Excel-Mappe anlegen: " + p for p in parts[1:]])

        # Each part holds its documents in processing order below its own header row.
        for number, part in enumerate(parts):
            sheet = Sheet(part)
            share = [path for _, path in processed[number * 1001:(number + 1) * 1001]]
            self.assertEqual(sheet.row(1, 3), ["Pfad", "Dateiname", "Titel"])
            self.assertEqual(sheet.nrows, 1 + len(share))
            for row, path in enumerate(share, start=2):
                folder, name = path.rsplit("/", 1)
                self.assertEqual(sheet.row(row, 2), [folder + "/", name])
                title = sheet.value(row, 3)
                if documents[path]["role"] == "document":
                    self.assertEqual(title, title_in(documents[path]), path)

        out = result.stdout.decode()
        self.assertIn("Gefundene Dokumente:   2500\n", out)
        self.assertIn("Arbeitsmappen:         3 (%s bis %s)\n" % (parts[0], parts[2]), out)

        # An .xlsx run makes the same parts, cell for cell.
        self.run_with({"Config": {"maxRange": "1001", "Pattern": " ".join(EXTENSIONS), "Kopfzeile": "ja"},
                       "MapProperties": {"C": "Titel"}}, workbook="Liste.xlsx")
        for part in parts:
            self.assertEqual(read_workbook(part + "x"), read_workbook(part), part)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
