"""Reading documents ahead on several threads changes nothing a run writes:
on a generated tree with damaged documents and distractors, criteria that
drop documents, format marks, a creation-date column and a part switch, the
workbooks are byte for byte and the logs line for line (time stamps aside)
those of a run that reads one document at a time."""
import os
import shutil
import subprocess
import sys
import unittest

from batch_support import BIN, STAMP, TOOLS, BatchTestCase, german_env, ini_text

DOCUMENTS = 1400


class ReadAhead(BatchTestCase):
    def run_readers(self, readers):
        env = dict(german_env(), TABELLIX_READERS=str(readers))
        r = subprocess.run([os.path.join(BIN, "tabellix-batch"), os.path.join(self.tmp, "ZireVuz.ini")],
                           env=env, capture_output=True, timeout=600)
        self.assertEqual(r.returncode, 0, r.stderr.decode(errors="replace"))
        out = os.path.join(self.tmp, "lesen-%d" % readers)
        os.mkdir(out)
        result = {}
        for name in sorted(os.listdir(self.tmp)):
            path = os.path.join(self.tmp, name)
            if name.endswith(".xls"):
                with open(path, "rb") as f:
                    result[name] = f.read()
            elif name.startswith("Protokoll_"):
                with open(path, encoding="utf-8") as f:
                    result["log"] = [STAMP.sub("", line) for line in f.read().split("\n")]
            else:
                continue
            shutil.move(path, out)
        return result

    def test_workbooks_and_log_are_the_same_with_and_without_read_ahead(self):
        subprocess.run([os.path.join(TOOLS, "tbx-samplegen"), "tree", self.data, "--count", str(DOCUMENTS),
                        "--seed", "11"], check=True, capture_output=True, timeout=600)
        with open(os.path.join(self.tmp, "ZireVuz.ini"), "w", encoding="utf-8") as f:
            f.write(ini_text({
                "Config": {"Pattern": "par psm asm dft", "Kopfzeile": "ja", "maxRange": "1001"},
                "Pfade": {"SourceDir": self.data, "ExcelFile": "Liste.xls"},
                "MapProperties": {"C": "Titel", "D": "Autor#L12", "E": "Dokumentnummer", "F": "Stückzahl",
                                  "G": "Erstelldatum", "H": "%Dateityp"},
                "Criteria": {"Kategorie": "bau"},
                "Dokumentnummer": {"Format0": "!!-999-99999"},
                "Stückzahl": {"Format0": "9999"}}))
        alone = self.run_readers(0)
        ahead = self.run_readers(8)
        self.assertEqual(sorted(alone), ["Liste_000.xls", "Liste_001.xls", "log"])
        self.assertEqual(sorted(ahead), sorted(alone))
        for name in alone:
            self.assertTrue(alone[name] == ahead[name], name)
        self.assertTrue(any("FEHLER beim Lesen der Propertysets" in line for line in alone["log"]))


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
