"""The alias tables of the README and the ZireVuz.ini man page are the list
that tabellix-props --aliases prints from the catalogue itself."""
import os
import subprocess
import sys
import unittest

BIN = os.environ.get("TBX_BIN_DIR", "build/app")
SOURCE = os.environ.get("TBX_SOURCE_DIR", ".")


class AliasTables(unittest.TestCase):
    def test_readme_and_man_page_match_the_catalogue(self):
        r = subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "alias-table.py"),
                            os.path.join(BIN, "tabellix-props"), "--check"], capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr + " (tools/alias-table.py schreibt sie neu)")


if __name__ == "__main__":
    unittest.main()
