"""tabellix-batch in database mode, from a generated document tree to the workbook, read back with xlrd.

The tree holds generated documents plus copies named like the sample database's fixed documents
(a quote in a name, umlauts, a reference to nothing, NULL fields). The expected cells come from the
sample data through plain joins, not through the reference metadata the program walks.
"""
import json
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import unittest

import xlrd

BIN = os.environ.get("TBX_BIN_DIR", "")
TOOLS = os.environ.get("TBX_TOOLS_DIR", "")
SOURCE = os.environ.get("TBX_SOURCE_DIR", "")
SAMPLEDB = os.path.join(SOURCE, "tools", "sampledb", "sampledb.py")
PROXY = os.path.join(SOURCE, "tools", "latency-proxy.py")
PROXY_TOTAL = re.compile(r"beendet: \d+ Verbindungen, (\d+) Bytes weitergeleitet")
STAMP = re.compile(r"^\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)? - ")
PROCESSED = re.compile(r"^(\d+): Bearbeite (.*)$")
NO_CONNECTION = "Verbindung zur Datenbank konnte nicht aufgebaut werden. Verarbeitung wird beendet."
NO_RECORD = re.compile(r"^FEHLER:\tKein Datenbankeintrag für (.*) gefunden\. Datei wird nicht bearbeitet$")

# Tree files named like the fixed documents of tools/sampledb (root of the tree, so scanned first).
FIXED_FILES = ["Welle 12.par", "O'Brien.par", "Wälzlager.psm", "ohne Bearbeiter.par", "Unbekannt.par",
               "Gruppe A.par", "Gruppe B.par"]

MAPPING = """[SQLMapProperties]
C=DOC_NR
D=TITEL
E=GEWICHT
F=r:BEARBEITER
G=R:Material
H=r:STATUS
I=TITEL#L5
"""

# Per mapped column: the oracle's SQL expression over documents d (users u, materials m joined).
EXPECTED_SQL = """SELECT d.DOC_NR, d.TITEL, d.GEWICHT,
       CASE WHEN d.BEARBEITER IS NULL THEN '' WHEN u.OBJECT_ID IS NULL THEN CAST(d.BEARBEITER AS TEXT)
            ELSE COALESCE(u.LOGIN, CAST(d.BEARBEITER AS TEXT)) END,
       CASE WHEN d.MATERIAL IS NULL THEN '' WHEN m.OBJECT_ID IS NULL THEN CAST(d.MATERIAL AS TEXT)
            ELSE COALESCE(m.DESCRIPTION, CAST(d.MATERIAL AS TEXT)) END,
       COALESCE(CAST(d.STATUS AS TEXT), '')
FROM documents d LEFT JOIN users u ON u.OBJECT_ID = d.BEARBEITER
                 LEFT JOIN materials m ON m.OBJECT_ID = d.MATERIAL
WHERE d.FILE_NAME = ?"""


def german_number(value):
    """A number as the German locale writes it: no grouping, decimal comma, up to 15 digits."""
    if value is None:
        return ""
    return ("%.15g" % value).replace(".", ",")


def run_batch(config, env=None, program=BIN):
    full_env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8",
                    **(env or {}))
    return subprocess.run([os.path.join(program, "tabellix-batch"), config], env=full_env, capture_output=True,
                          timeout=300)


def log_lines(folder):
    logs = sorted(f for f in os.listdir(folder) if f.startswith("Protokoll_") and f.endswith(".log"))
    with open(os.path.join(folder, logs[0]), encoding="utf-8") as f:
        return [STAMP.sub("", line) for line in f.read().split("\n")[:-1]]


def make_tree(root, count, seed):
    """A generated tree plus the fixed-name copies; returns the manifest's file names."""
    manifest = os.path.join(os.path.dirname(root), "manifest.json")
    subprocess.run([os.path.join(TOOLS, "tbx-samplegen"), "tree", root, "--count", str(count), "--seed", str(seed),
                    "--manifest", manifest], check=True, capture_output=True)
    with open(manifest, encoding="utf-8") as f:
        files = json.load(f)["files"]
    sample = next(e["path"] for e in files if e["role"] == "document")
    for name in FIXED_FILES:
        shutil.copy(os.path.join(root, sample), os.path.join(root, name))
    return [os.path.basename(e["path"]) for e in files]


def build_sqlite(path, names):
    names_file = path + ".names"
    with open(names_file, "w", encoding="utf-8") as f:
        f.write("\n".join(names) + "\n")
    subprocess.run(["/usr/bin/python3", SAMPLEDB, "--sqlite", path, "--names", names_file], check=True,
                   capture_output=True)


def config_text(tree, workbook, odbc, where="FILE_NAME='%Id'"):
    return ("[Config]\nPattern=par psm asm dft PAR\nKopfzeile=ja\n"
            "[Pfade]\nSourceDir=%s\nExcelFile=%s\n"
            "[SQL]\nDoSQL=ja\nSelect=*\nFrom=ulvo.documents\nWhere=%s\n"
            "[ODBC]\n%s\n%s" % (tree, workbook, where, odbc, MAPPING))


def workbook_rows(path):
    sheet = xlrd.open_workbook(path).sheet_by_index(0)
    return [[str(sheet.cell_value(r, c)) for c in range(sheet.ncols)] for r in range(sheet.nrows)]


class DatabaseRun(unittest.TestCase):
    """One tree and one oracle per class; each test runs the program once against a backend."""

    server_backend = False

    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.tree = os.path.join(self.tmp, "Dokumente")
        names = make_tree(self.tree, 60, 11)
        # Every third generated document has no record, so skipped rows must be reused.
        self.recorded = [n for i, n in enumerate(names) if i % 3]
        self.oracle = os.path.join(self.tmp, "oracle.db")
        # A server holds only the fixed documents (tools/pgtest.sh loads the sample without names).
        build_sqlite(self.oracle, [] if self.server_backend else self.recorded)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def write_config(self, odbc, where="FILE_NAME='%Id'"):
        path = os.path.join(self.tmp, "ZireVuz.ini")
        with open(path, "w", encoding="utf-8") as f:
            f.write(config_text(self.tree, os.path.join(self.tmp, "Liste.xls"), odbc, where))
        return path

    def clear_outputs(self):
        """Removes the run's log and workbooks for the next case."""
        for f in os.listdir(self.tmp):
            if f.startswith("Protokoll_") or f.startswith("Liste"):
                os.remove(os.path.join(self.tmp, f))

    def expected_row(self, con, path):
        folder, name = path.rsplit("/", 1)
        found = con.execute(EXPECTED_SQL, (name.lower(),)).fetchone()
        if found is None:
            return None
        doc_nr, title, weight, editor, material, status = found
        return [folder + "/", name, doc_nr, title, german_number(weight), editor, material, status, title[:5]]

    def check_full_run(self, odbc):
        r = run_batch(self.write_config(odbc))
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        log = log_lines(self.tmp)
        processed = [PROCESSED.match(line).group(2) for line in log if PROCESSED.match(line)]
        skipped = [NO_RECORD.match(line).group(1) for line in log if NO_RECORD.match(line)]
        con = sqlite3.connect(self.oracle)
        expected = []
        for path in processed:
            row = self.expected_row(con, path)
            if row is None:
                self.assertIn(path, skipped)
            else:
                expected.append(row)
        con.close()
        self.assertEqual(len(expected) + len(skipped), len(processed))
        self.assertGreaterEqual(len(expected), len(FIXED_FILES))
        self.assertGreater(len(skipped), 0)
        rows = workbook_rows(os.path.join(self.tmp, "Liste.xls"))
        # The header, then one row per document with a record, no gaps where documents were skipped.
        self.assertEqual(rows[1:], expected)
        by_name = {row[1]: row[2:] for row in rows[1:]}
        # The cases worth seeing by name: LOGIN of a user, an object that does not exist, NULL fields,
        # a reference class without a table, the quote in a file name.
        self.assertEqual(by_name["Welle 12.par"],
                         ["DOC-0001", "Antriebswelle", "1,5", "mmueller", "S235JR Baustahl", "1", "Antri"])
        self.assertEqual(by_name["Unbekannt.par"], ["DOC-0005", "Flansch", "2", "999", "", "", "Flans"])
        self.assertEqual(by_name["ohne Bearbeiter.par"], ["DOC-0004", "Deckel", "", "", "", "", "Decke"])
        self.assertEqual(by_name["O'Brien.par"][:5], ["DOC-0002", "Halter O'Brien", "0,25", "jschmidt",
                                                      "AlMg3 Aluminium"])
        self.assertEqual(by_name["Wälzlager.psm"][3], "akoenig")
        return log

    def check_pool_alike(self, odbc, config_lines=""):
        """Workbooks and log of a run on the pool of connections equal, byte for byte (the log without
        its time stamps), those of a run on one connection."""
        config = self.write_config(odbc)
        if config_lines:
            with open(config, encoding="utf-8") as f:
                text = f.read().replace("[Config]\n", "[Config]\n" + config_lines, 1)
            with open(config, "w", encoding="utf-8") as f:
                f.write(text)
        outputs = []
        for connections in ("1", "4"):
            self.clear_outputs()
            r = run_batch(config, {"TABELLIX_DB_CONNECTIONS": connections})
            self.assertEqual(r.returncode, 0, r.stderr.decode())
            books = {}
            for name in sorted(f for f in os.listdir(self.tmp) if f.startswith("Liste")):
                with open(os.path.join(self.tmp, name), "rb") as f:
                    books[name] = f.read()
            outputs.append((books, log_lines(self.tmp)))
        self.assertEqual(outputs[0], outputs[1])
        return outputs[0]


class SqliteRun(DatabaseRun):
    def odbc(self, database="ulvo"):
        return "Provider=SQLite\nDataSource=%s\nDatabase=%s\nUsername=leser\nPassword=lesen" % (self.oracle, database)

    def test_full_run(self):
        self.check_full_run(self.odbc())

    def test_pool_writes_what_one_connection_writes(self):
        # Past maxRange (1001) the second part begins: the read-ahead runs across the switch.
        self.tree = os.path.join(self.tmp, "Viele")
        names = make_tree(self.tree, 1700, 5)
        os.remove(self.oracle)
        build_sqlite(self.oracle, [n for i, n in enumerate(names) if i % 3])
        books, log = self.check_pool_alike(self.odbc(), "maxRange=1001\n")
        self.assertEqual(sorted(books), ["Liste_000.xls", "Liste_001.xls"])
        self.assertTrue(any(NO_RECORD.match(line) for line in log))

    def test_query_with_syntax_error_ends_through_the_run_time_error_path(self):
        r = run_batch(self.write_config(self.odbc(), where="FILE_NAME='%Id' AND AND"))
        self.assertEqual(r.returncode, 2, r.stderr.decode())
        log = log_lines(self.tmp)
        errors = [line for line in log if line.startswith("Laufzeitfehler ")]
        self.assertEqual(len(errors), 1, log)
        self.assertIn("syntax error", errors[0])
        self.assertEqual(log[log.index(errors[0]) + 1], "Programm wird abgebrochen")
        # The first document's query failed: the saved workbook holds the header row alone.
        self.assertEqual(len(workbook_rows(os.path.join(self.tmp, "Liste.xls"))), 1)
        self.assertIn("Laufzeitfehler ", r.stderr.decode())

    def test_missing_connection_ends_before_the_documents(self):
        # The dialog's caption stays in the line when it names the configuration;
        # the log names the cause before the run ends.
        config = os.path.join(self.tmp, "ZireVuz.ini")
        opening = "Fehler beim Öffnen der Datenbankverbindung: "
        driver = ("Der Datenbanktreiber für SQLite (QSQLITE) ist nicht installiert. Er kommt mit dem Debian-Paket "
                  "libqt6sql6-sqlite (als Administrator: apt install libqt6sql6-sqlite).")
        # A copy of the program whose Qt finds no plugins (qt.conf beside it): the driver is missing.
        without_drivers = os.path.join(self.tmp, "ohne-treiber")
        os.mkdir(without_drivers)
        shutil.copy(os.path.join(BIN, "tabellix-batch"), without_drivers)
        with open(os.path.join(without_drivers, "qt.conf"), "w", encoding="utf-8") as f:
            f.write("[Paths]\nPlugins=%s\n" % os.path.join(without_drivers, "keine"))
        cases = [
            (self.odbc().replace("Password=lesen", "Password="), BIN,
             "tabellix-batch: %s: Password unter 'ODBC' nicht angegeben" % config,
             "Password unter 'ODBC' nicht angegeben"),
            (self.odbc().replace(self.oracle, self.oracle + ".fehlt"), BIN,
             "tabellix-batch: " + opening, opening),
            (self.odbc(), without_drivers, "tabellix-batch: %s%s\n(Provider=SQLite;" % (opening, driver),
             "%s%s (Provider=SQLite;" % (opening, driver)),
        ]
        for odbc, program, message, cause in cases:
            with self.subTest(message=message):
                r = run_batch(self.write_config(odbc), program=program)
                self.assertEqual(r.returncode, 1)
                self.assertIn(message, r.stderr.decode())
                self.assertNotIn("lesen", r.stderr.decode())  # the password is masked in the dialog
                log = log_lines(self.tmp)
                # The batch program connects only after its target checks.
                self.assertEqual(log[-4], "Zu schreibende Excel-Datei: %s/Liste.xls" % self.tmp)
                self.assertTrue(log[-3].startswith(cause), log[-3])
                self.assertEqual(log[-2:], [NO_CONNECTION, "Programm wird beendet"])
                self.assertFalse(any(PROCESSED.match(line) for line in log))
                self.assertFalse(os.path.exists(os.path.join(self.tmp, "Liste.xls")))
                os.remove(os.path.join(self.tmp, [f for f in os.listdir(self.tmp) if f.startswith("Protokoll_")][0]))

    def test_failed_target_check_leaves_the_database_alone(self):
        config = self.write_config(self.odbc().replace("Password=lesen", "Password="))
        with open(config, encoding="utf-8") as f:
            text = f.read().replace("SourceDir=%s" % self.tree, "SourceDir=%s/fehlt" % self.tree)
        with open(config, "w", encoding="utf-8") as f:
            f.write(text)
        r = run_batch(config)
        self.assertEqual(r.returncode, 1)
        self.assertNotIn("Password unter", r.stderr.decode())
        log = log_lines(self.tmp)
        self.assertIn("Das angegebene Startverzeichnis existiert nicht: %s/fehlt/" % self.tree, log)
        self.assertNotIn(NO_CONNECTION, log)


def require_server(test):
    if "TBX_PG_PORT" in os.environ:
        return
    if os.environ.get("CI") == "true":
        test.fail("CI: kein PostgreSQL-Testserver (tools/pgtest.sh start ENVFILE, dann ENVFILE laden)")
    test.skipTest("kein PostgreSQL-Testserver: TBX_PG_PORT ist nicht gesetzt (tools/test.sh startet ihn)")


def superuser_sql(statements):
    """Runs SQL as the throwaway server's superuser over its socket (local connections are trusted)."""
    folder = os.environ["TBX_PG_DIR"]
    psql = sorted(p for p in (os.path.join("/usr/lib/postgresql", v, "bin", "psql")
                              for v in os.listdir("/usr/lib/postgresql")) if os.path.exists(p))[-1]
    subprocess.run([psql, "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", os.path.join(folder, "pgsock"),
                    "-p", os.environ["TBX_PG_PORT"], "-U", "postgres", "-d", os.environ["TBX_PG_DATABASE"]],
                   input=statements.encode(), check=True, capture_output=True)


class ServerRun(DatabaseRun):
    server_backend = True
    BACKENDS = {
        "QPSQL": lambda e: "Provider=PostgreSQL\nDataSource=%s:%s\nDatabase=%s\nUsername=%s\nPassword=%s" % (
            e["TBX_PG_HOST"], e["TBX_PG_PORT"], e["TBX_PG_DATABASE"], e["TBX_PG_USER"], e["TBX_PG_PASSWORD"]),
        "QODBC": lambda e: "Provider=MSDASQL\nDataSource=%s\nDatabase=%s\nUsername=%s\nPassword=%s" % (
            e["TBX_PG_DSN"], e["TBX_PG_DATABASE"], e["TBX_PG_USER"], e["TBX_PG_PASSWORD"]),
    }

    def setUp(self):
        require_server(self)
        super().setUp()

    def test_full_run_through_each_driver(self):
        for driver, odbc in self.BACKENDS.items():
            with self.subTest(driver=driver):
                self.check_full_run(odbc(os.environ))
                self.clear_outputs()

    def test_pool_writes_what_one_connection_writes(self):
        for driver, odbc in self.BACKENDS.items():
            with self.subTest(driver=driver):
                _, log = self.check_pool_alike(odbc(os.environ))
                self.assertTrue(any(NO_RECORD.match(line) for line in log))

    def test_session_lost_in_the_document_loop(self):
        # The query of one document ends its own session, as an administrator's pg_terminate_backend
        # would: the documents before it are written, the run ends through the run-time error path.
        schema = "abbruch_%d" % os.getpid()
        superuser_sql("""
            DROP SCHEMA IF EXISTS %(s)s CASCADE;
            CREATE SCHEMA %(s)s;
            CREATE FUNCTION %(s)s.halt(name text) RETURNS boolean LANGUAGE plpgsql VOLATILE AS $$
            BEGIN
              IF name = 'welle 12.par' THEN PERFORM pg_terminate_backend(pg_backend_pid()); END IF;
              RETURN true;
            END $$;
            GRANT USAGE ON SCHEMA %(s)s TO %(u)s;
        """ % {"s": schema, "u": os.environ["TBX_PG_USER"]})
        try:
            for driver, odbc in self.BACKENDS.items():
                with self.subTest(driver=driver):
                    r = run_batch(self.write_config(odbc(os.environ),
                                                    where="FILE_NAME='%%Id' AND %s.halt('%%Id')" % schema))
                    self.assertEqual(r.returncode, 2, r.stderr.decode())
                    log = log_lines(self.tmp)
                    processed = [PROCESSED.match(line).group(2) for line in log if PROCESSED.match(line)]
                    self.assertEqual(os.path.basename(processed[-1]), "Welle 12.par")
                    # One line for the error, however many lines the driver's description had.
                    self.assertTrue(log[-2].startswith("Laufzeitfehler 3704: "), log[-3:])
                    self.assertEqual(log[-1], "Programm wird abgebrochen")
                    written = [row[1] for row in workbook_rows(os.path.join(self.tmp, "Liste.xls"))[1:]]
                    before = [os.path.basename(p) for p in processed[:-1]]
                    self.assertGreater(len(written), 0)
                    self.assertEqual(written, [n for n in before if n in FIXED_FILES])
                    self.clear_outputs()
        finally:
            superuser_sql("DROP SCHEMA IF EXISTS %s CASCADE;" % schema)

    def test_connection_cut_in_the_document_loop(self):
        # The network goes away after N bytes (tools/latency-proxy.py), wherever N falls: in the login,
        # in a record query or in the look-up of a reference. Every row saved is the database's, none
        # half written or with ids where the references have names, and the log says why the run ended.
        fixed_only = os.path.join(self.tmp, "Nur-Feste")
        os.mkdir(fixed_only)
        for name in FIXED_FILES:
            shutil.copy(os.path.join(self.tree, name), fixed_only)
        self.tree = fixed_only
        odbc_ini = os.path.join(self.tmp, "odbc.ini")
        con = sqlite3.connect(self.oracle)
        for driver, odbc in self.BACKENDS.items():
            with self.subTest(driver=driver):
                def run_behind_proxy(*cut):
                    proxy = subprocess.Popen([sys.executable, PROXY, "--target", "127.0.0.1:" + os.environ["TBX_PG_PORT"],
                                              "--max-seconds", "120"] + list(cut),
                                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                    port = proxy.stdout.readline().decode().strip()
                    with open(os.environ["ODBCINI"], encoding="utf-8") as f:
                        text = re.sub(r"(?m)^Port = \d+$", "Port = " + port, f.read())
                    with open(odbc_ini, "w", encoding="utf-8") as f:
                        f.write(text)
                    self.clear_outputs()
                    r = run_batch(self.write_config(odbc(dict(os.environ, TBX_PG_PORT=port))), {"ODBCINI": odbc_ini})
                    proxy.terminate()
                    _, err = proxy.communicate()
                    proxy.stdout.close()
                    return r, int(PROXY_TOTAL.search(err.decode()).group(1))

                r, total = run_behind_proxy()
                self.assertEqual(r.returncode, 0, r.stderr.decode())
                ended_in_loop = 0
                # Seven cuts spread over the traffic; the last eighth holds the last document's queries.
                for cut in (total * k // 8 for k in range(1, 8)):
                    r, moved = run_behind_proxy("--cut-after-bytes", str(cut))
                    if r.returncode == 0 and moved < cut:
                        continue  # the pool's connections share the work differently each run: this one needed less
                    log = log_lines(self.tmp)
                    if r.returncode == 1:
                        self.assertEqual(log[-2], NO_CONNECTION)  # cut in the login
                        continue
                    ended_in_loop += 1
                    self.assertEqual(r.returncode, 2, (cut, r.stderr.decode()))
                    self.assertRegex(log[-2], r"^Laufzeitfehler 3704: \S", cut)
                    self.assertEqual(log[-1], "Programm wird abgebrochen")
                    processed = [PROCESSED.match(line).group(2) for line in log if PROCESSED.match(line)]
                    rows = workbook_rows(os.path.join(self.tmp, "Liste.xls"))[1:]
                    self.assertEqual(rows, [self.expected_row(con, p) for p in processed[:-1]], cut)
                self.assertGreaterEqual(ended_in_loop, 5)
        con.close()


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
