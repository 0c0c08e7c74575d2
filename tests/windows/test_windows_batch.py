"""tabellix-batch.exe under Wine against the Linux build's tabellix-batch on
the same files: the same cells, except the two path columns, which hold
Windows paths (Z:\\...) with backslashes. The tree holds what only the wide
Windows calls get right: a name outside the ANSI code page, a path longer
than 260 characters, and a file hidden by its attribute (the Linux run,
which knows no attributes, lists it). Also Ctrl+C, and database mode through
Wine's ODBC to Debian's SQLite ODBC driver with a connection string.

Run by CTest of the Windows build (tools/build-windows.sh test), which names
the Linux build (TBX_LINUX_BUILD_DIR) and the Wine runner (TBX_WINE_RUNNER)."""
import datetime
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

LINUX = os.environ.get("TBX_LINUX_BUILD_DIR", "build")
os.environ["TBX_TOOLS_DIR"] = os.path.join(LINUX, "tools")
os.environ["TBX_BIN_DIR"] = os.path.join(LINUX, "app")
sys.path.insert(0, os.path.join(os.environ.get("TBX_SOURCE_DIR", "."), "tests", "app"))
import batch_support as bs  # noqa: E402

WINDOWS_BIN = os.environ.get("TBX_WINDOWS_BIN_DIR", "build-windows/app")
RUNNER = os.environ.get("TBX_WINE_RUNNER", "").split("|")
SAMPLEDB = os.path.join(os.environ.get("TBX_SOURCE_DIR", "."), "tools", "sampledb", "sampledb.py")
MAPPING = {"C": "Titel", "D": "Autor#L20", "E": "Dokumentnummer", "F": "Projektname", "G": "Erstelldatum",
           "H": "%Dateityp"}
NON_ANSI = "Teil_Жä😀.par"
HIDDEN = "Versteckt_Attribut.par"


def windows_path(path):
    """The path Wine shows for a Unix path: drive Z: and backslashes."""
    return "Z:" + path.replace("/", "\\")


PREFIX = RUNNER[RUNNER.index("--prefix") + 1] if "--prefix" in RUNNER else ""


def run_wine(program, args, env=None, timeout=280):
    full = dict(bs.german_env(), **(env or {}))
    return subprocess.run(RUNNER + ["--console", "--timeout", str(timeout), program] + args, env=full,
                          capture_output=True, timeout=timeout + 30)


def run_windows(args, env=None):
    return run_wine(os.path.join(WINDOWS_BIN, "tabellix-batch.exe"), args, env)


def write_config(folder, sections):
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "ZireVuz.ini")
    # As Windows editors save it: CR LF, Windows-1252.
    with open(path, "w", encoding="cp1252", newline="\r\n") as f:
        f.write(bs.ini_text(sections))
    return path


def rows(sheet):
    ncols = max(c for _, c in sheet.cells)
    return [sheet.row(r, ncols) for r in range(1, sheet.nrows + 1)]


class WindowsBatch(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Inside the build folder, which Wine reaches as Z: like every Unix path.
        cls.tmp = tempfile.mkdtemp(dir=os.environ.get("TBX_BUILD_DIR"))
        cls.tree = os.path.join(cls.tmp, "Dokumente")
        subprocess.run([os.path.join(LINUX, "tools", "tbx-samplegen"), "tree", cls.tree, "--count", "120", "--seed", "7"],
                       check=True, capture_output=True)
        bs.build_document(os.path.join(cls.tree, NON_ANSI), summary={"Title": "Ж und ä", "Author": "Zoë"})
        deep = os.path.join(cls.tree, *["Unterordner mit langem Namen %02d" % i for i in range(10)])
        os.makedirs(deep)
        cls.deep = bs.build_document(os.path.join(deep, "Tief.par"), summary={"Title": "Sonderfall"})
        assert len(windows_path(cls.deep)) > 260
        bs.build_document(os.path.join(cls.tree, HIDDEN), summary={"Title": "versteckt"})
        attrib = run_wine(os.path.join(PREFIX, "drive_c/windows/system32/attrib.exe"),
                          ["+h", windows_path(os.path.join(cls.tree, HIDDEN))])
        assert attrib.returncode == 0, attrib

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def sections(self, source):
        return {"Config": {"Pattern": "par psm asm dft", "Kopfzeile": "ja"},
                "Pfade": {"SourceDir": source, "ExcelFile": "Liste.xls"},
                "MapProperties": MAPPING, "Dokumentnummer": {"Format0": "!!-999-99999"}}

    def both_runs(self, name, linux_sections, windows_sections, env=None):
        linux_config = write_config(os.path.join(self.tmp, name + "-linux"), linux_sections)
        r = subprocess.run([os.path.join(LINUX, "app", "tabellix-batch"), linux_config], env=dict(bs.german_env(), **(env or {})),
                           capture_output=True, timeout=600)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        windows_config = write_config(os.path.join(self.tmp, name + "-windows"), windows_sections)
        w = run_windows([windows_path(windows_config)], env=env)
        self.assertEqual(w.returncode, 0, w.stdout.decode("cp1252") + w.stderr.decode("cp1252"))
        return (rows(bs.Sheet(os.path.join(os.path.dirname(linux_config), "Liste.xls"))),
                rows(bs.Sheet(os.path.join(os.path.dirname(windows_config), "Liste.xls"))))

    def assert_same_but_paths(self, linux, windows):
        self.assertEqual(len(windows), len(linux))
        for lrow, wrow in zip(linux, windows):
            expected = list(lrow)
            if lrow is not linux[0]:
                expected[0] = windows_path(lrow[0])
            self.assertEqual(wrow, expected)

    def test_cells_equal_the_linux_run_but_the_paths(self):
        linux, windows = self.both_runs("baum", self.sections(self.tree), self.sections(windows_path(self.tree)))
        hidden = [r for r in linux if r[1] == HIDDEN]
        self.assertEqual(len(hidden), 1)  # Linux knows no hidden attribute
        linux.remove(hidden[0])
        self.assert_same_but_paths(linux, windows)
        names = [r[1] for r in windows]
        self.assertIn(NON_ANSI, names)
        self.assertIn(windows_path(os.path.dirname(self.deep)) + "\\", [r[0] for r in windows])

    def test_database_through_odbc_with_a_connection_string(self):
        # ASCII names only: between Wine's odbc32.dll, unixODBC and the SQLite
        # driver a statement loses one byte per umlaut and its closing quote.
        tree = os.path.join(self.tmp, "Datenbank")
        os.mkdir(tree)
        for folder, _, files in os.walk(self.tree):
            for n in files:
                if n.isascii() and not n.startswith(".") and not os.path.exists(os.path.join(tree, n)):
                    shutil.copy(os.path.join(folder, n), tree)
        names = os.path.join(self.tmp, "namen.txt")
        with open(names, "w", encoding="utf-8") as f:
            f.write("\n".join(os.listdir(tree)))
        db = os.path.join(self.tmp, "konstruktion.db")
        subprocess.run(["/usr/bin/python3", SAMPLEDB, "--sqlite", db, "--names", names], check=True, capture_output=True)
        sql = {"DoSQL": "ja", "Select": "*", "From": "documents", "Where": "FILE_NAME='%Id'"}
        # No r: columns: the SQLite ODBC driver opens the file as "main" only,
        # and the reference tables are read as ulvo.*.
        mapping = {"C": "DOC_NR", "D": "TITEL", "E": "REVISION", "F": "GEWICHT", "G": "%Dateityp"}
        login = {"Username": "leser", "Password": "lesen"}
        linux = dict(self.sections(tree), SQL=sql, SQLMapProperties=mapping,
                     ODBC=dict(login, Provider="SQLite", DataSource=db, Database="ulvo"))
        # The driver is a Linux library behind Wine's odbc32.dll: it opens the
        # Unix path. The connection string's own Database= comes before the
        # one a provider with "sql" in its name needs.
        windows = dict(self.sections(windows_path(tree)), SQL=sql, SQLMapProperties=mapping,
                       ODBC=dict(login, Provider="MSDASQL", DataSource="Driver=SQLite3;Database=" + db,
                                 Database="ulvo"))
        linux_rows, windows_rows = self.both_runs("datenbank", linux, windows)
        self.assertGreater(len(linux_rows), 20)
        self.assert_same_but_paths(linux_rows, windows_rows)

    def test_ctrl_c_saves_the_rows_read_so_far(self):
        big = os.path.join(self.tmp, "Viele")
        subprocess.run([os.path.join(LINUX, "tools", "tbx-samplegen"), "tree", big, "--count", "1500", "--seed", "3"],
                       check=True, capture_output=True)
        folder = os.path.join(self.tmp, "strg-c")
        config = write_config(folder, self.sections(windows_path(big)))
        # Pressed once the log names the 200th document.
        log = os.path.join(folder, "Protokoll_%s.log" % datetime.date.today().strftime("%d.%m.%Y"))
        w = run_wine(os.path.join(WINDOWS_BIN, "..", "tbx_send_ctrl_c.exe"),
                     [windows_path(log), "200: Bearbeite", windows_path(os.path.join(WINDOWS_BIN, "tabellix-batch.exe")),
                      windows_path(config)])
        out = w.stdout.decode("cp1252") + w.stderr.decode("cp1252")
        self.assertEqual(w.returncode, 1, out)
        self.assertIn("abgebrochen, die Arbeitsmappe enthält die bis dahin gelesenen Dokumente", out)
        found = int(out.split("Gefundene Dokumente:")[1].split()[0])
        written = bs.Sheet(os.path.join(folder, "Liste.xls")).nrows - 1
        self.assertTrue(200 <= written < found, (written, found))

if __name__ == "__main__":
    unittest.main()
