"""tabellix-batch against what an attacker or a careless user does to a run:
a closed pipe or closed standard streams, signals in quick succession,
links and folders planted at the workbook's and the lock's names, other
users' temporary files, terminal control sequences in names, and a process
limit that refuses the reader threads. Nothing of it may lose the run."""
import os
import pwd
import re
import shutil
import signal
import stat
import subprocess
import sys
import time
import unittest

from batch_support import BIN, BatchTestCase, Sheet, build_document, german_env, ini_text

BATCH = os.path.join(BIN, "tabellix-batch")


class Hostile(BatchTestCase):
    def config(self, workbook="Liste.xls", extra=None):
        sections = {"Config": {"Pattern": "par"}, "MapProperties": {"C": "Titel"},
                    "Pfade": {"SourceDir": self.data, "ExcelFile": workbook}}
        sections.update(extra or {})
        path = os.path.join(self.tmp, "ZireVuz.ini")
        with open(path, "w", encoding="utf-8") as f:
            f.write(ini_text(sections))
        return path

    def documents(self, count):
        first = build_document(os.path.join(self.data, "d0001.par"), {"Title": "Welle"})
        for i in range(2, count + 1):
            os.link(first, os.path.join(self.data, "d%04d.par" % i))

    def workbook_rows(self):
        return Sheet(os.path.join(self.tmp, "Liste.xls")).nrows

    def test_closed_pipe_and_closed_standard_streams_lose_nothing(self):
        self.documents(20)
        config = self.config()
        # "tabellix-batch cfg 2>&1 >/dev/null | true": every message goes into a closed pipe.
        read_end, write_end = os.pipe()
        os.close(read_end)
        done = subprocess.run([BATCH, config], env=german_env(), stdout=subprocess.DEVNULL, stderr=write_end)
        os.close(write_end)
        self.assertEqual(done.returncode, 0)
        self.assertEqual(self.workbook_rows(), 20)
        # ">&- 2>&-": the first file the run opens (its log) must not become its stderr.
        os.remove(os.path.join(self.tmp, "Liste.xls"))
        missing = self.config(extra={"Pfade": {"SourceDir": self.data + "/fehlt", "ExcelFile": "Liste.xls"}})
        done = subprocess.run([BATCH, missing], env=german_env(), stdin=subprocess.DEVNULL,
                              preexec_fn=lambda: (os.close(1), os.close(2)))
        self.assertEqual(done.returncode, 1)
        self.assertFalse([line for line in self.log() if "tabellix-batch:" in line or "Gefundene" in line])

    def test_a_second_signal_still_saves_the_rows_read(self):
        self.documents(3000)
        process = subprocess.Popen([BATCH, self.config()], env=german_env(),
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        deadline = time.monotonic() + 120
        while not any(": Bearbeite " in line for line in (self.log() or [])) and time.monotonic() < deadline:
            time.sleep(0.002)
        process.send_signal(signal.SIGINT)
        time.sleep(0.05)  # two signals sent back to back may arrive as one
        process.send_signal(signal.SIGINT)
        out, err = process.communicate(timeout=600)
        self.assertEqual(process.returncode, 1, err)
        processed = [line for line in self.log() if re.match(r"^\d+: Bearbeite ", line)]
        self.assertEqual(self.workbook_rows(), len(processed))

    def test_planted_links_and_folders(self):
        self.documents(2)
        other = os.path.join(self.tmp, "fremd.xls")
        cases = [  # (what, prepare, status, stderr)
            ("link at the workbook", lambda: os.symlink(other, os.path.join(self.tmp, "Liste.xls")), 0, ""),
            ("folder at the lock", lambda: os.mkdir(os.path.join(self.tmp, ".Liste.xls.lock")), 1,
             "Die Sperrdatei %s/.Liste.xls.lock kann nicht angelegt werden: " % self.tmp),
            ("link at the lock", lambda: os.symlink(other, os.path.join(self.tmp, ".Liste.xls.lock")), 1,
             "Die Sperrdatei %s/.Liste.xls.lock kann nicht angelegt werden: " % self.tmp),
        ]
        for what, prepare, status, message in cases:
            with self.subTest(what):
                for name in os.listdir(self.tmp):
                    if name != "daten":
                        p = os.path.join(self.tmp, name)
                        shutil.rmtree(p) if os.path.isdir(p) and not os.path.islink(p) else os.remove(p)
                with open(other, "wb") as f:
                    f.write(b"fremd")
                # Read-only: the old run made a read-only target writable through the link.
                os.chmod(other, 0o444)
                prepare()
                done = subprocess.run([BATCH, self.config()], env=german_env(), capture_output=True)
                self.assertEqual(done.returncode, status, done.stderr)
                self.assertIn(message, done.stderr.decode())
                # The link's target keeps its content and its permissions.
                with open(other, "rb") as f:
                    self.assertEqual(f.read(), b"fremd")
                self.assertEqual(stat.S_IMODE(os.stat(other).st_mode), 0o444)

    @unittest.skipUnless(os.geteuid() == 0, "other users' files need root to make")
    def test_other_users_temporary_files_stay(self):
        self.documents(2)
        nobody = pwd.getpwnam("nobody")
        mine, theirs = (os.path.join(self.tmp, ".Liste.xls.%s.tmp" % n) for n in ("aa11", "bb22"))
        for path in (mine, theirs):
            with open(path, "wb") as f:
                f.write(b"halb")
        os.chown(theirs, nobody.pw_uid, nobody.pw_gid)
        self.assertEqual(subprocess.run([BATCH, self.config()], env=german_env(), capture_output=True).returncode, 0)
        self.assertFalse(os.path.exists(mine))
        self.assertTrue(os.path.exists(theirs))

    def test_control_sequences_reach_the_terminal_escaped(self):
        folder = self.tmp + "/Titel\x1b]0;gekapert\x07"
        done = subprocess.run([BATCH, self.config(workbook=folder + "/Liste.xls")], env=german_env(),
                              capture_output=True)
        self.assertEqual(done.returncode, 1)
        self.assertNotIn(b"\x1b", done.stderr)
        self.assertIn(b"Titel\\x1b]0;gekapert\\x07/Liste.xls", done.stderr)

    @unittest.skipUnless(os.geteuid() == 0 and shutil.which("prlimit"), "a process limit needs another user")
    def test_readers_the_system_refuses_mean_fewer_readers(self):
        self.documents(200)
        nobody = pwd.getpwnam("nobody")
        for root, dirs, files in os.walk(self.tmp):
            for name in dirs + files:
                os.chmod(os.path.join(root, name), 0o777)
        os.chmod(self.tmp, 0o777)
        config = self.config()
        os.chmod(config, 0o666)
        env = dict(german_env(), TABELLIX_READERS="16")
        done = subprocess.run(["prlimit", "--nproc=4", "--", "setpriv", "--reuid=%d" % nobody.pw_uid,
                               "--regid=%d" % nobody.pw_gid, "--clear-groups", BATCH, config],
                              env=env, capture_output=True, timeout=600)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(self.workbook_rows(), 200)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
