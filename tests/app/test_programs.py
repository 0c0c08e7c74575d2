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

    def test_help_and_version(self):
        r = run([self.batch, "--help"])
        self.assertEqual(r.returncode, 0)
        self.assertIn("Aufruf: tabellix-batch [--check] [KONFIGURATIONSDATEI]", r.stdout.decode())
        r = run([self.batch, "--version"])
        self.assertEqual(r.returncode, 0)
        self.assertRegex(r.stdout.decode(), r"^Tabellix \d+\.\d+\.\d+\n$")

    def test_bad_arguments(self):
        cases = [
            ([self.batch, "--gibtsnicht"], "unbekannte Option: --gibtsnicht"),
            ([self.batch, "a.ini", "b.ini"], "nur eine Konfigurationsdatei"),
            ([self.batch, os.path.join(self.tmp, "fehlt.ini")], "Konfigurationsdatei nicht gefunden"),
            ([self.batch, self.tmp], "Konfigurationsdatei nicht gefunden"),
        ]
        # A configuration this user may not read is said to be so (root reads everything: run as nobody).
        unreadable = self.write_config("geheim.ini", "[Pfade]\nSourceDir=/\n")
        os.chmod(unreadable, 0)
        as_nobody = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"] if os.geteuid() == 0 else []
        os.chmod(self.tmp, 0o755)
        cases.append((as_nobody + [self.batch, unreadable], "kann nicht gelesen werden: Zugriff verweigert"))
        cases.append(([os.path.join(BIN, "tabellix-props"), os.path.join(self.tmp, "fehlt.par")],
                      "FEHLER beim Lesen der Propertysets von %s/fehlt.par: Die Datei existiert nicht" % self.tmp))
        for args, message in cases:
            r = run(args)
            self.assertEqual(r.returncode, 1, args)
            self.assertIn(message, r.stderr.decode(), args)

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
