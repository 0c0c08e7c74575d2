"""tabellix-batch stopped with Ctrl-C, or by a scheduler's SIGTERM or a closed
session's SIGHUP: the document being read is finished, the rows so far are
saved, and the program says so instead of claiming that nothing was written."""
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import unittest

from batch_support import BIN, BatchTestCase, Sheet, build_document, german_env, ini_text

DOCUMENTS = 3000


class Interrupt(BatchTestCase):
    def test_ctrl_c_saves_the_rows_read_so_far(self):
        for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            with self.subTest(signal=sig.name):
                self.reset()
                self.stop_with(sig)

    def stop_with(self, sig):
        first = build_document(os.path.join(self.data, "d0001.par"), {"Title": "Welle"})
        for i in range(2, DOCUMENTS + 1):
            shutil.copyfile(first, os.path.join(self.data, "d%04d.par" % i))
        config = os.path.join(self.tmp, "ZireVuz.ini")
        with open(config, "w", encoding="utf-8") as f:
            f.write(ini_text({"Pfade": {"SourceDir": self.data, "ExcelFile": "Liste.xls"},
                              "MapProperties": {"C": "Titel", "D": "erstelldatum"}}))
        process = subprocess.Popen([os.path.join(BIN, "tabellix-batch"), config], env=german_env(),
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        # The interrupt is caught from the first log line on and kept until
        # the document loop looks at it, whenever it arrives before the end.
        deadline = time.monotonic() + 120
        while not (self.log() or []) and process.poll() is None and time.monotonic() < deadline:
            time.sleep(0.002)
        process.send_signal(sig)
        out, err = process.communicate(timeout=600)
        self.assertEqual(process.returncode, 1, err.decode(errors="replace"))

        log = self.log()
        processed = [line for line in log if re.match(r"^\d+: Bearbeite ", line)]
        self.assertLess(len(processed), DOCUMENTS)
        self.assertIn("Bearbeitung abgebrochen. Excel-Datei speichern", log)
        self.assertEqual(log[-1], "Programm wird beendet")
        # A stop during the scan saves the workbook without rows.
        sheet = Sheet(os.path.join(self.tmp, "Liste.xls"))
        self.assertEqual(sheet.nrows, len(processed))
        if processed:
            self.assertEqual(sheet.row(len(processed), 3), [self.data + "/", "d%04d.par" % len(processed), "Welle"])
        self.assertIn("Geschriebene Zeilen:   %d\n" % len(processed), out.decode())
        self.assertIn("abgebrochen, die Arbeitsmappe enthält die bis dahin gelesenen Dokumente", err.decode())
        self.assertNotIn("keine Arbeitsmappe geschrieben", err.decode())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
