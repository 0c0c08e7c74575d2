"""tabellix-batch ending through its run-time error path: the log names the
error and the abort, the rows written so far are saved where that is still
possible, the message goes to stderr and the exit status is 2."""
import os
import sys
import unittest

from batch_support import BatchTestCase, Sheet, build_document


class RunTimeErrors(BatchTestCase):
    def documents(self):
        build_document(os.path.join(self.data, "a.par"), {"Title": "Welle", "Author": "Anna"})
        build_document(os.path.join(self.data, "b.par"), {"Title": "Flansch", "Author": "Bea"})

    def check_error_end(self, result, message):
        """The log's last two lines, the critical message on stderr, no normal end."""
        log = self.log()
        self.assertRegex(log[-2], message)
        self.assertEqual(log[-1], "Programm wird abgebrochen")
        self.assertNotIn("Programm wird beendet", log)
        self.assertIn(log[-2], result.stderr.decode())
        return log

    def test_a_key_that_is_no_column_keeps_the_rows_so_far(self):
        # Keys must be column letters: "C1" would otherwise write into C11, C12, ...
        # With the header the error comes at its row, before any document.
        cases = [("1A", "ja", "1A1", [["Pfad", "Dateiname", "Titel", None]]),
                 ("C1", "nein", "C11", [[self.data + "/", "a.par", "Welle", None]])]
        for key, header, reference, rows in cases:
            with self.subTest(key=key):
                self.reset()
                self.documents()
                result = self.run_with({"Config": {"Kopfzeile": header, "Pattern": "par"},
                                        "MapProperties": {"C": "Titel", key: "Autor"}}, expect_status=2)
                log = self.check_error_end(result, r'^Laufzeitfehler 1004: Ungültiger Zellbezug "%s"' % reference)
                self.assertFalse([line for line in log if line.startswith("2: Bearbeite")])
                # Saved up to the failing cell.
                sheet = Sheet(os.path.join(self.tmp, "Liste.xls"))
                self.assertEqual([sheet.row(r, 4) for r in range(1, sheet.nrows + 1)], rows)

    @unittest.skipUnless(os.path.isdir("/proc/self"), "needs a folder nobody may create files in")
    def test_an_unwritable_target_stops_the_run_before_the_scan(self):
        self.documents()
        # Running as root, permissions stop nothing; /proc takes no new files from anyone.
        result = self.run_with({"Config": {"Pattern": "par"}, "MapProperties": {"C": "Titel"}},
                               workbook="/proc/Liste.xls", expect_status=1)
        self.assertIn("tabellix-batch: Die angegebene Exceldatei kann nicht erzeugt werden: /proc/Liste.xls: ",
                      result.stderr.decode())
        self.assertNotIn("Start der Verzeichnis-Analyse", self.log())
        self.assertIn("Arbeitsmappen:         0\n", result.stdout.decode())

if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
