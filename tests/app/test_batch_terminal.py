"""tabellix-batch on a terminal, as a terminal emulator shows it: the
progress line is redrawn in place and never wider than the terminal (long
folders shortened in the middle), so it leaves no lines or stale text
behind, and after Ctrl+C every message starts on a line of its own."""
import fcntl
import os
import pty
import struct
import sys
import termios
import time
import unittest

import pyte

from batch_support import BIN, BatchTestCase, build_document, german_env, ini_text

# Enough that the loop is redrawn a few times before the Ctrl+C (links: the
# reads are the same, the tree costs no space).
DOCUMENTS = 60000


def run_on_terminal(argv, columns, interrupt_when):
    """Runs argv on a pseudo-terminal of columns x 200, presses Ctrl+C once
    interrupt_when is in the output, and returns the screen and the bytes."""
    pid, master = pty.fork()
    if pid == 0:
        fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", 200, columns, 0, 0))
        os.execve(argv[0], argv, german_env())
    output = b""
    pressed = False
    deadline = time.monotonic() + 300
    while time.monotonic() < deadline:
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the program has ended and closed the terminal
            break
        if not chunk:
            break
        output += chunk
        if not pressed and interrupt_when in output:
            os.write(master, b"\x03")
            pressed = True
    _, status = os.waitpid(pid, 0)
    os.close(master)
    screen = pyte.Screen(columns, 200)
    pyte.ByteStream(screen).feed(output)
    return [line.rstrip() for line in screen.display if line.strip()], output, os.waitstatus_to_exitcode(status)


class TerminalLine(BatchTestCase):
    def test_progress_line_fits_and_messages_start_on_their_own_line(self):
        # Deep enough that every folder is longer than the terminal is wide.
        folder = os.path.join(self.data, "Projekt_Windkraftanlage_Nordsee_2027",
                              "Baugruppen_und_Einzelteile_des_Hauptgetriebes", "Zeichnungen_und_Modelle")
        os.makedirs(folder)
        first = build_document(os.path.join(folder, "d00001.par"), {"Title": "Welle"})
        for i in range(2, DOCUMENTS + 1):
            os.link(first, os.path.join(folder, "d%05d.par" % i))
        config = os.path.join(self.tmp, "ZireVuz.ini")
        with open(config, "w", encoding="utf-8") as f:
            f.write(ini_text({"Pfade": {"SourceDir": self.data, "ExcelFile": "Liste.xls"},
                              "MapProperties": {"C": "Titel"}}))
        for columns in (80, 100):
            with self.subTest(columns=columns):
                if os.path.exists(os.path.join(self.tmp, "Liste.xls")):
                    os.remove(os.path.join(self.tmp, "Liste.xls"))
                lines, output, status = run_on_terminal([os.path.join(BIN, "tabellix-batch"), config], columns,
                                                        "Dokumenten ·".encode())
                shown = "\n".join(lines)
                self.assertEqual(status, 1, shown)
                # One progress line (the ^C echoed at its end), nothing left of
                # the scan's lines or of earlier redraws.
                progress = [line for line in lines if "Dokumenten ·" in line]
                self.assertEqual(len(progress), 1, shown)
                self.assertRegex(progress[0], r"^\[[#-]+\] [\d.]+ von 60\.000 Dokumenten · \d+ %")
                self.assertEqual(lines[0], progress[0], shown)
                # The messages after it (which may wrap) each start a line.
                self.assertTrue(lines[1].startswith("tabellix-batch: Arbeiten abgebrochen: "), shown)
                self.assertTrue(any(line.startswith("tabellix-batch: abgebrochen, die Arbeitsmappe enthält")
                                    for line in lines), shown)
                # Every redraw fits: no drawn line is as wide as the terminal.
                for drawn in output.decode(errors="replace").replace("\x1b[K", "").split("\r"):
                    self.assertLess(len(drawn.split("\n")[0].replace("^C", "")), columns, drawn)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
