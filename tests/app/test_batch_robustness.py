"""tabellix-batch on what real file servers and careless or hostile hands
give it: Latin-1 names, old part files and backups, a second run on the same
workbook, forged log lines and a log that is a link, a mapping out of column
order, a silent log, and the inspection tool on the same documents."""
import fcntl
import os
import subprocess
import sys
import unittest

from batch_support import BIN, BatchTestCase, Sheet, build_document, german_env, ini_text


class Robustness(BatchTestCase):
    def config(self, sections, workbook="Liste.xls"):
        sections = dict(sections)
        sections.setdefault("Pfade", {"SourceDir": self.data, "ExcelFile": workbook})
        path = os.path.join(self.tmp, "ZireVuz.ini")
        with open(path, "w", encoding="utf-8") as f:
            f.write(ini_text(sections))
        return path

    def run_config(self, config):
        return self.run_config_args([config])

    def run_config_args(self, args):
        return subprocess.run([os.path.join(BIN, "tabellix-batch")] + args, env=german_env(),
                              capture_output=True, timeout=600)

    def test_latin1_names_are_read_by_their_bytes(self):
        folder = os.path.join(os.fsencode(self.data), b"M\xfcller")
        os.mkdir(folder)
        made = build_document(os.path.join(self.data, "tmp.par"), {"Title": "Welle"})
        os.rename(made, os.path.join(folder, b"Teil\xe9.par"))
        result = self.run_with({"Config": {"Pattern": "par"},
                                "MapProperties": {"C": "Titel", "D": "Erstelldatum", "E": "%Dateityp"}})
        sheet = Sheet(os.path.join(self.tmp, "Liste.xls"))
        self.assertEqual(sheet.row(1, 3), [self.data + "/Müller/", "Teilé.par", "Welle"])
        self.assertEqual(sheet.value(1, 5), "par")
        self.assertIn("1: Bearbeite %s/Müller/Teilé.par" % self.data, self.log())
        props = subprocess.run([os.path.join(BIN, "tabellix-props"), os.path.join(folder, b"Teil\xe9.par"),
                                "Titel", "%Dateityp"], capture_output=True, env=german_env())
        self.assertEqual((props.returncode, props.stdout.decode()), (0, "Titel\tWelle\n%Dateityp\tpar\n"),
                         props.stderr)
        self.assertEqual(result.returncode, 0)

    def test_configuration_saved_as_unicode_by_notepad(self):
        build_document(os.path.join(self.data, "d.par"), {"Title": "Welle"})
        text = ini_text({"Pfade": {"SourceDir": self.data, "ExcelFile": "Liste.xls"},
                         "MapProperties": {"C": "Titel"}})
        config = os.path.join(self.tmp, "ZireVuz.ini")
        for encoding in ("utf-16-le", "utf-16-be"):
            with self.subTest(encoding):
                with open(config, "wb") as f:
                    f.write("\ufeff".encode(encoding) + text.encode(encoding))
                for check in ([], ["--check"]):
                    done = self.run_config_args(check + [config])
                    self.assertEqual(done.returncode, 0, done.stderr.decode(errors="replace"))
                self.assertEqual(Sheet(os.path.join(self.tmp, "Liste.xls")).value(1, 3), "Welle")

    def test_old_parts_and_backups_are_kept(self):
        first = build_document(os.path.join(self.data, "d0001.par"), {"Title": "Welle"})
        for i in range(2, 1003):
            os.link(first, os.path.join(self.data, "d%04d.par" % i))
        stale = {"Liste.xls": b"alt", "Liste_000.xls": b"teil0", "Liste_007.xls": b"teil7",
                 ".Liste_001.xls.1a2b3c.tmp": b"halb"}
        for name, data in stale.items():
            with open(os.path.join(self.tmp, name), "wb") as f:
                f.write(data)
        self.run_with({"Config": {"maxRange": "1001", "Pattern": "par"}, "MapProperties": {"C": "Titel"}})
        names = sorted(os.listdir(self.tmp))
        kept = {}
        for name in names:
            if not os.path.isfile(os.path.join(self.tmp, name)):
                continue
            with open(os.path.join(self.tmp, name), "rb") as f:
                kept[f.read()] = name
        # Each old file was renamed before it could be replaced; the killed save's temporary file is gone.
        self.assertRegex(kept[b"alt"], r"^Liste_\d{12}\.xls$")
        self.assertRegex(kept[b"teil0"], r"^Liste_000_\d{12}\.xls$")
        self.assertRegex(kept[b"teil7"], r"^Liste_007_\d{12}\.xls$")
        self.assertNotIn(".Liste_001.xls.1a2b3c.tmp", names)
        self.assertIn("Liste_000.xls", names)
        self.assertIn("Liste_001.xls", names)
        self.assertNotIn("Liste_007.xls", names)

    def test_a_second_run_finds_the_workbook_taken(self):
        build_document(os.path.join(self.data, "a.par"), {"Title": "Welle"})
        config = self.config({"MapProperties": {"C": "Titel"}})
        with open(os.path.join(self.tmp, ".Liste.xls.lock"), "w") as held:
            fcntl.flock(held, fcntl.LOCK_EX)
            result = self.run_config(config)
        self.assertEqual(result.returncode, 1)
        message = "Die Excel-Datei wird gerade von einem anderen Lauf geschrieben: %s/Liste.xls" % self.tmp
        self.assertIn(message, result.stderr.decode())
        self.assertIn(message, self.log())
        self.assertFalse(os.path.exists(os.path.join(self.tmp, "Liste.xls")))

    def test_log_lines_cannot_be_forged_or_redirected(self):
        name = "x\n2026-12-07 16:00:00 - Gefälschte Zeile\x1b[2J\ry.par"
        build_document(os.path.join(self.data, name), {"Title": "Welle"})
        self.run_with({"MapProperties": {"C": "Titel"}})
        forged = [line for line in self.log() if "Gefälschte Zeile" in line]
        self.assertEqual(forged, ["1: Bearbeite %s/x\\n2026-12-07 16:00:00 - Gefälschte Zeile"
                                  "\\x1b[2J\\ry.par" % self.data])
        # A log that is a link to another file: nothing is written through it, and stderr says so once.
        log = [f for f in os.listdir(self.tmp) if f.startswith("Protokoll_")][0]
        victim = os.path.join(self.tmp, "fremd.txt")
        with open(victim, "w") as f:
            f.write("fremd\n")
        os.remove(os.path.join(self.tmp, log))
        os.symlink(victim, os.path.join(self.tmp, log))
        result = self.run_config(os.path.join(self.tmp, "ZireVuz.ini"))
        self.assertEqual(result.returncode, 0)
        with open(victim) as f:
            self.assertEqual(f.read(), "fremd\n")
        self.assertEqual(result.stderr.decode().count("kann nicht geschrieben werden"), 1, result.stderr)

    def test_header_names_stand_above_their_own_columns(self):
        build_document(os.path.join(self.data, "a.par"), {"Title": "Welle", "Author": "Anna"})
        self.run_with({"Config": {"Kopfzeile": "ja"}, "MapProperties": {"F": "Autor", "C": "Titel"}})
        sheet = Sheet(os.path.join(self.tmp, "Liste.xls"))
        self.assertEqual(sheet.row(1, 6), ["Pfad", "Dateiname", "Titel", None, None, "Autor"])
        self.assertEqual(sheet.row(2, 6), [self.data + "/", "a.par", "Welle", None, None, "Anna"])

    def test_failed_checks_reach_stderr_without_a_log(self):
        config = self.config({"Config": {"WriteLog": "nein"}, "Pfade": {"ExcelFile": "Liste.xls"}})
        result = self.run_config(config)
        self.assertEqual(result.returncode, 1)
        self.assertIn("tabellix-batch: Kein Startverzeichnis angegeben.", result.stderr.decode())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
