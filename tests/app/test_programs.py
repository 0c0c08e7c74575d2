"""The programs as users start them: arguments, exit status and the run log."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BIN = os.environ.get("TBX_BIN_DIR", "")
STAMP = re.compile(r"^\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)? - ")


def run(args, cwd=None, env=None):
    # German as on the users' machines: the log name and time stamps follow the locale.
    full_env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8",
                    **(env or {}))
    return subprocess.run(args, cwd=cwd, env=full_env, capture_output=True, timeout=60)


def log_lines(folder):
    logs = [f for f in os.listdir(folder) if f.startswith("Protokoll_") and f.endswith(".log")]
    if not logs:
        return None
    with open(os.path.join(folder, logs[0]), encoding="utf-8") as f:
        return [STAMP.sub("", line) for line in f.read().split("\n")[:-1]]


class BatchProgram(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.batch = os.path.join(BIN, "tabellix-batch")
        self.data = os.path.join(self.tmp, "daten")
        os.mkdir(self.data)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def write_config(self, name, text):
        path = os.path.join(self.tmp, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def test_wrong_calls_and_unusable_configurations(self):
        props, desktop = os.path.join(BIN, "tabellix-props"), os.path.join(BIN, "tabellix")
        binary = self.write_config("binaer.ini", "")
        with open(binary, "wb") as f:
            f.write(b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(range(256)) * 8)
        missing = os.path.join(self.tmp, "fehlt.ini")
        # (command line, exit status, the start of the line on stderr): usage
        # errors give 2 in every program, an unusable configuration is a failed check (1).
        cases = [
            ([self.batch, "--gibtsnicht"], 2, "tabellix-batch: unbekannte Option: --gibtsnicht"),
            ([self.batch, "a.ini", "b.ini"], 2, "tabellix-batch: nur eine Konfigurationsdatei"),
            ([desktop, "-x"], 2, "tabellix: unbekannte Option: -x"),
            ([props], 2, "tabellix-props: keine DATEI angegeben"),
            ([props, "--version", "x.par"], 0, ""),
            ([props, "-x.par"], 2, "tabellix-props: unbekannte Option: -x.par"),
            ([props, "--aliases", "x.par"], 2, "tabellix-props: --aliases liest keine DATEI"),
            ([props, "--", "-x.par"], 1, "tabellix-props: FEHLER beim Lesen der Propertysets von -x.par: "
                                         "Die Datei existiert nicht"),
            ([self.batch, missing], 1, "tabellix-batch: Konfigurationsdatei nicht gefunden: " + missing),
            ([self.batch, self.tmp], 1, "tabellix-batch: Konfigurationsdatei nicht gefunden"),
            ([self.batch, binary], 1, "tabellix-batch: Die Konfigurationsdatei %s ist keine Textdatei" % binary),
        ]
        # A configuration this user may not read is said to be so (root reads everything: run as nobody).
        unreadable = self.write_config("geheim.ini", "[Pfade]\nSourceDir=/\n")
        os.chmod(unreadable, 0)
        as_nobody = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"] if os.geteuid() == 0 else []
        os.chmod(self.tmp, 0o755)
        cases.append((as_nobody + [self.batch, unreadable], 1, "tabellix-batch: Die Konfigurationsdatei %s kann "
                      "nicht gelesen werden: Zugriff verweigert" % unreadable))
        for args, status, message in cases:
            with self.subTest(args=args[-2:]):
                r = run(args, cwd=self.tmp)
                self.assertEqual(r.returncode, status, r.stderr)
                self.assertTrue(r.stderr.decode().startswith(message), r.stderr)

    def test_help_names_every_exit_status_and_version(self):
        for program in ("tabellix", "tabellix-batch", "tabellix-props"):
            with self.subTest(program):
                r = run([os.path.join(BIN, program), "--help"])
                text = r.stdout.decode()
                self.assertEqual((r.returncode, text.split()[:2]), (0, ["Aufruf:", program]))
                section = text[text.index("Rückgabewert"):]
                for status in ("0", "1", "2"):
                    self.assertRegex(section, r"(^|\s)%s\s" % status)
                self.assertIn("falscher Aufruf", section)
                r = run([os.path.join(BIN, program), "--version"])
                self.assertEqual(r.returncode, 0)
                self.assertRegex(r.stdout.decode(), r"^Tabellix \d+\.\d+\.\d+\n$")

    def test_failed_checks_exit_1_and_log_beside_the_configuration(self):
        cfg = self.write_config("auftrag.ini", "[Config]\nGUI=nein\n[Pfade]\nSourceDir=%s/fehlt\n"
                                               "ExcelFile=Liste.xls\n" % self.data)
        r = run([self.batch, cfg], cwd=self.data)
        self.assertEqual(r.returncode, 1)
        self.assertEqual(log_lines(self.tmp), [
            "", "Programmstart",
            "Das angegebene Startverzeichnis existiert nicht: %s/fehlt/" % self.data,
            "Zu schreibende Excel-Datei: %s/Liste.xls" % self.tmp,
            "Programm wird beendet"])
        self.assertNotIn("Benutzeraktion", "".join(log_lines(self.tmp)))


class DesktopProgram(unittest.TestCase):
    def test_gui_off_writes_three_lines(self):
        tmp = tempfile.mkdtemp()
        try:
            # The desktop program reads its configuration beside itself.
            shutil.copy(os.path.join(BIN, "tabellix"), tmp)
            with open(os.path.join(tmp, "ZireVuz.ini"), "w", encoding="utf-8") as f:
                f.write("[Config]\nGUI=0\n")
            r = run([os.path.join(tmp, "tabellix")], cwd="/")
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(log_lines(tmp), ["", "Programmstart", "Programm wird beendet"])
        finally:
            shutil.rmtree(tmp)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
