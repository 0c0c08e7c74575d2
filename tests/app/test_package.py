"""The Debian package as a user gets it: its files, its desktop entry and man
pages as the system's tools read them, and the programs unpacked from it,
run by an unprivileged user with a configuration in the XDG folders or beside
a portable copy. tools/test.sh builds the package and names it in TBX_DEB."""
import glob
import os
import pwd
import re
import shutil
import subprocess
import tempfile
import unittest

import batch_support as bs

DEB = os.environ.get("TBX_DEB", "")
EXPECTED_FILES = [
    "usr/bin/tabellix", "usr/bin/tabellix-batch", "usr/bin/tabellix-props",
    "usr/share/applications/tabellix.desktop",
    "usr/share/icons/hicolor/scalable/apps/tabellix.svg",
    "usr/share/man/man1/tabellix.1.gz", "usr/share/man/man1/tabellix-batch.1.gz",
    "usr/share/man/man1/tabellix-props.1.gz", "usr/share/man/man5/ZireVuz.ini.5.gz",
    "usr/share/man/de/man1/tabellix.1.gz", "usr/share/man/de/man1/tabellix-batch.1.gz",
    "usr/share/man/de/man1/tabellix-props.1.gz", "usr/share/man/de/man5/ZireVuz.ini.5.gz",
    "usr/share/doc/tabellix/examples/ZireVuz.ini", "usr/share/doc/tabellix/examples/ZireVuz-db.ini",
    "usr/share/doc/tabellix/copyright",
] + ["usr/share/icons/hicolor/%dx%d/apps/tabellix.png" % (s, s) for s in (16, 32, 48, 64, 128, 256)]


def as_user():
    """Runs a command as nobody when the tests run as root, else as the caller."""
    if os.geteuid() != 0:
        return None, []
    user = pwd.getpwnam("nobody")
    return user, ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid, "--clear-groups", "--"]


@unittest.skipUnless(DEB or os.environ.get("CI") == "true", "kein Paket gebaut (TBX_DEB)")
class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        os.chmod(cls.tmp, 0o755)
        cls.root = os.path.join(cls.tmp, "root")
        subprocess.run(["dpkg-deb", "-x", DEB, cls.root], check=True)
        cls.user, cls.prefix = as_user()
        cls.docs = os.path.join(cls.tmp, "Dokumente")
        os.mkdir(cls.docs)
        bs.build_document(os.path.join(cls.docs, "Welle.par"), summary={"Title": "Welle", "Author": "K. Groß"})

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def test_file_list_desktop_entry_and_man_pages(self):
        listing = subprocess.run(["dpkg-deb", "-c", DEB], check=True, capture_output=True, text=True).stdout
        for f in EXPECTED_FILES:
            self.assertIn("./" + f + "\n", listing)
        entry = os.path.join(self.root, EXPECTED_FILES[3])
        r = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True)
        self.assertEqual((r.returncode, r.stdout + r.stderr), (0, ""))
        # Without a MimeType a field code would take any file dropped on the launcher as the configuration.
        with open(entry, encoding="utf-8") as f:
            self.assertEqual(re.findall(r"^Exec=(.*)$", f.read(), re.M), ["tabellix"])
        pages = glob.glob(os.path.join(self.root, "usr/share/man/man*/*.gz"))
        german = glob.glob(os.path.join(self.root, "usr/share/man/de/man*/*.gz"))
        self.assertEqual(len(pages), 4)
        self.assertEqual(len(german), 4)
        for page in pages + german:
            with self.subTest(page=page[len(self.root):]):
                env = dict(os.environ, MANWIDTH="80", MAN_KEEP_STDERR="1", LANG="C.UTF-8")
                r = subprocess.run(["man", "--warnings", "-l", page], capture_output=True, text=True, env=env)
                self.assertEqual((r.returncode, r.stderr), (0, ""))
                self.assertIn("SIEHE AUCH" if page in german else "SEE ALSO", r.stdout)
                # The tables must come out of tbl and groff without a warning too.
                source = subprocess.run(["zcat", page], check=True, capture_output=True).stdout
                r = subprocess.run(["groff", "-k", "-t", "-man", "-ww", "-z", "-Tutf8"], input=source,
                                   capture_output=True)
                self.assertEqual((r.returncode, r.stderr.decode()), (0, ""))
        # man -L picks the German page from de/; every page of tabellix-batch lists --check.
        for lang, heading in (("de", "BEZEICHNUNG"), ("en", "NAME")):
            r = subprocess.run(["man", "-L", lang, "tabellix-batch"], capture_output=True, text=True,
                               env=dict(os.environ, MANPATH=os.path.join(self.root, "usr/share/man"),
                                        MANWIDTH="80", LANG="C.UTF-8"))
            self.assertEqual(r.returncode, 0, r.stderr)
            self.assertEqual(r.stdout.split("\n")[2], heading)
            self.assertIn("--check", r.stdout)
        r = subprocess.run(["lintian", DEB], capture_output=True, text=True)
        self.assertNotIn("\nE: ", "\n" + r.stdout)

    def home(self, name):
        """A fresh home of the unprivileged user with the given subfolders."""
        home = os.path.join(self.tmp, name)
        os.mkdir(home)
        if self.user:
            os.chown(home, self.user.pw_uid, self.user.pw_gid)
        return home

    def config(self, folder, excel):
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, "ZireVuz.ini")
        with open(path, "w", encoding="utf-8") as f:
            f.write(bs.ini_text({"Config": {"Pattern": "par"}, "Pfade": {"SourceDir": self.docs, "ExcelFile": excel},
                                 "MapProperties": {"C": "Titel", "D": "Autor"}}))
        if self.user:
            for dirpath, _, files in os.walk(folder):
                for p in [dirpath] + [os.path.join(dirpath, f) for f in files]:
                    os.chown(p, self.user.pw_uid, self.user.pw_gid)
        return path

    def run_program(self, program, home, env=None, args=()):
        full = {"PATH": "/usr/bin:/bin", "HOME": home, "LANG": "de_DE.UTF-8", "LC_ALL": "de_DE.UTF-8"}
        full.update(env or {})
        return subprocess.run(self.prefix + [program, *args], env=full, capture_output=True, timeout=120, cwd="/")

    def test_configuration_in_the_user_folder(self):
        # The configuration folder holds the configuration only: the log goes
        # to the state folder, a bare workbook name to the documents folder.
        home = self.home("nutzer1")
        documents = os.path.join(home, "Documents")
        os.mkdir(documents)
        if self.user:
            os.chown(documents, self.user.pw_uid, self.user.pw_gid)
        folder = os.path.dirname(self.config(os.path.join(home, ".config", "tabellix"), "Liste.xls"))
        r = self.run_program(os.path.join(self.root, "usr/bin/tabellix-batch"), home)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        sheet = bs.Sheet(os.path.join(documents, "Liste.xls"))
        self.assertEqual(sheet.row(1, 4)[2:], ["Welle", "K. Groß"])
        self.assertTrue(bs.log_lines(os.path.join(home, ".local", "state", "tabellix")))
        self.assertEqual(os.listdir(folder), ["ZireVuz.ini"])

    def test_system_configuration_logs_in_the_state_folder(self):
        home = self.home("nutzer2")
        system = os.path.join(self.tmp, "etc-xdg")
        folder = os.path.join(system, "tabellix")
        self.config(folder, os.path.join(home, "Liste.xls"))
        os.chown(folder, 0, 0) if self.user else None
        os.chmod(folder, 0o555)
        self.addCleanup(os.chmod, folder, 0o755)
        r = self.run_program(os.path.join(self.root, "usr/bin/tabellix-batch"), home,
                             env={"XDG_CONFIG_DIRS": "/nicht/da:" + system})
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        self.assertTrue(os.path.isfile(os.path.join(home, "Liste.xls")))
        self.assertTrue(bs.log_lines(os.path.join(home, ".local", "state", "tabellix")))

    def test_portable_copy_keeps_its_folder(self):
        home = self.home("nutzer3")
        portable = os.path.join(self.tmp, "portabel")
        os.mkdir(portable)
        shutil.copy(os.path.join(self.root, "usr/bin/tabellix-batch"), portable)
        self.config(portable, "Liste.xls")
        self.config(os.path.join(home, ".config", "tabellix"), "Andere.xls")
        r = self.run_program(os.path.join(portable, "tabellix-batch"), home)
        self.assertEqual(r.returncode, 0, r.stderr.decode())
        self.assertTrue(os.path.isfile(os.path.join(portable, "Liste.xls")))
        self.assertTrue(bs.log_lines(portable))

    def test_named_example_is_in_the_package(self):
        home = self.home("nutzer5")
        r = self.run_program(os.path.join(self.root, "usr/bin/tabellix-batch"), home,
                             env={"XDG_CONFIG_DIRS": "/nicht/da"})
        self.assertEqual(r.returncode, 1)
        named = re.findall(r"Vorlage liegt in (/\S+);", r.stderr.decode())
        self.assertEqual(named, ["/usr/share/doc/tabellix/examples/ZireVuz.ini"])
        self.assertTrue(os.path.isfile(self.root + named[0]))

    def test_desktop_program_without_display(self):
        home = self.home("nutzer4")
        desktop = os.path.join(self.root, "usr/bin/tabellix")
        r = self.run_program(desktop, home, args=["--version"])
        self.assertEqual((r.returncode, r.stdout.decode().split()[0]), (0, "Tabellix"))
        r = self.run_program(desktop, home)
        self.assertEqual(r.returncode, 1)
        self.assertIn("keine grafische Oberfläche erreichbar", r.stderr.decode())


if __name__ == "__main__":
    unittest.main()
