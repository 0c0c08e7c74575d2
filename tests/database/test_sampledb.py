"""tools/sampledb/sampledb.py: the names list becomes documents, both forms hold the same data."""
import os
import sqlite3
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.environ.get("TBX_SOURCE_DIR", ""), "tools", "sampledb", "sampledb.py")


class SampleDbTest(unittest.TestCase):
    def test_names_list_and_both_forms(self):
        with tempfile.TemporaryDirectory() as d:
            names = os.path.join(d, "names.txt")
            with open(names, "w", encoding="utf-8") as f:
                f.write("# generated tree\nC:\\Daten\\Welle 12.par\n/daten/Neu/Gehäuse Oben.PSM\n\n  rohr.asm  \n")
            db, sql = os.path.join(d, "s.db"), os.path.join(d, "s.sql")
            subprocess.run([sys.executable, SCRIPT, "--sqlite", db, "--postgres", sql, "--names", names,
                            "--count", "2"], check=True, capture_output=True)
            con = sqlite3.connect(db)
            files = {r[0] for r in con.execute("SELECT FILE_NAME FROM documents")}
            self.assertTrue({"welle 12.par", "gehäuse oben.psm", "rohr.asm", "teil-00001.par",
                             "teil-00002.par", "o'brien.par"} <= files)
            self.assertEqual(len(files), 8 + 4)  # the fixed documents, "welle 12.par" only once
            self.assertEqual(con.execute("SELECT TABLE_NAME FROM KRV_CLASS WHERE CLASS_ID=7").fetchone()[0], "users")
            con.close()
            with open(sql, encoding="utf-8") as f:
                text = f.read()
            self.assertIn("CREATE SCHEMA ulvo;", text)
            self.assertIn("'o''brien.par'", text)
            self.assertIn("'gehäuse oben.psm'", text)

    def test_nothing_to_write_is_an_error(self):
        r = subprocess.run([sys.executable, SCRIPT], capture_output=True)
        self.assertNotEqual(r.returncode, 0)


if __name__ == "__main__":
    unittest.main()
