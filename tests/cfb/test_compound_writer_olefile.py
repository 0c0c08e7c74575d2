"""Compound files written by tbx-samplegen (our writer) read back by olefile,
an independent reader, byte for byte."""
import os
import subprocess
import sys
import tempfile
import unittest

import olefile

TOOL = os.path.join(os.environ.get("TBX_TOOLS_DIR", "build/tools"), "tbx-samplegen")


def pattern(size, j):
    return bytes(((k * 7 + j * 13 + k // 251) & 0xFF) for k in range(size))


class WriterReadByOlefile(unittest.TestCase):
    def write(self, streams):
        fd, path = tempfile.mkstemp(suffix=".cfb")
        os.close(fd)
        self.addCleanup(os.remove, path)
        args = [TOOL, "streams", path] + ["%s:%d" % (n, s) for n, s in streams]
        subprocess.run(args, check=True)
        return path

    def check(self, streams):
        path = self.write(streams)
        self.assertTrue(olefile.isOleFile(path))
        ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
        try:
            self.assertEqual(sorted(e[0] for e in ole.listdir()), sorted(n for n, _ in streams))
            for j, (name, size) in enumerate(streams):
                self.assertEqual(ole.get_size(name), size, name)
                self.assertEqual(ole.openstream(name).read(), pattern(size, j), name)
        finally:
            ole.close()
        return path

    def test_cases(self):
        cases = {
            "no stream": [],
            "one empty stream": [("leer", 0)],
            "mini stream sizes": [("a", 1), ("B", 63), ("c", 64), ("d", 65), ("e", 4095)],
            "cutoff": [("klein", 4095), ("gross", 4096), ("groesser", 4097)],
            "many entries": [("s%03d" % i, i * 37) for i in range(60)],
            "umlaut names": [("\u0005SummaryInformation", 300), ("Stückliste", 5000), ("Ä", 10)],
        }
        for label, streams in cases.items():
            with self.subTest(label):
                self.check(streams)

    def test_large_file_needs_difat_sectors(self):
        # 109 FAT sectors describe 109 * 128 sectors (about 6.8 MB); 10 MB needs DIFAT sectors.
        path = self.check([("Workbook", 10 * 1024 * 1024 + 17), ("klein", 100)])
        with open(path, "rb") as f:
            header = f.read(512)
        difat_sectors = int.from_bytes(header[0x48:0x4C], "little")
        self.assertGreaterEqual(difat_sectors, 1)

    def test_many_difat_sectors(self):
        # More than 109 + 127 FAT sectors: a chain of two DIFAT sectors.
        path = self.check([("Workbook", 16 * 1024 * 1024)])
        with open(path, "rb") as f:
            header = f.read(512)
        self.assertEqual(int.from_bytes(header[0x48:0x4C], "little"), 2)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]])
