"""Generated documents read by olefile, an independent reader, and by
tabellix-props: both must agree with the manifest, so that our writer and our
reader cannot share a mistake unnoticed."""
import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

import olefile

TOOLS = os.environ.get("TBX_TOOLS_DIR", "build/tools")
BIN = os.environ.get("TBX_BIN_DIR", "build/app")
FMTIDS = {
    "SummaryInformation": "F29F85E0-4FF9-1068-AB91-08002B27B3D9",
    "DocumentSummaryInformation": "D5CDD502-2E9C-101B-9397-08002B2CF9AE",
    "ExtendedSummaryInformation": "CC024FA2-6EB5-11CE-8AA2-08003601E988",
    "ProjectInformation": "F0D6D0B1-A0D8-11CE-8AA2-08003601E988",
    "MechanicalModeling": "CC024FCA-6EB5-11CE-8AA2-08003601E988",
    "Custom": "D5CDD505-2E9C-101B-9397-08002B2CF9AE",
}
GERMAN = dict(os.environ, LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8")


def decode(raw, code_page):
    if isinstance(raw, str):
        return raw.split("\0")[0]
    codec = {1200: "utf-16-le", 65001: "utf-8"}.get(code_page, "cp1252")
    return raw.decode(codec).split("\0")[0]


def section_guids(stream):
    count = struct.unpack_from("<I", stream, 24)[0]
    guids = []
    for i in range(count):
        d1, d2, d3 = struct.unpack_from("<IHH", stream, 28 + 20 * i)
        d4 = stream[36 + 20 * i:44 + 20 * i]
        guids.append("%08X-%04X-%04X-%s-%s" % (d1, d2, d3, d4[:2].hex().upper(), d4[2:].hex().upper()))
    return guids


class Samples(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        cls.root = os.path.join(cls.dir.name, "baum")
        manifest = os.path.join(cls.dir.name, "manifest.json")
        subprocess.run([os.path.join(TOOLS, "tbx-samplegen"), "tree", cls.root, "--count", "40", "--seed", "99",
                        "--manifest", manifest], check=True, env=GERMAN)
        with open(manifest, encoding="utf-8") as f:
            cls.files = json.load(f)["files"]

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def documents(self):
        return [f for f in self.files if f["role"] == "document"]

    def test_olefile_agrees_with_the_manifest(self):
        checked = 0
        for doc in self.documents():
            path = os.path.join(self.root, doc["path"])
            with self.subTest(doc["path"]):
                self.assertTrue(olefile.isOleFile(path))
                ole = olefile.OleFileIO(path, raise_defects=olefile.DEFECT_INCORRECT)
                try:
                    for s in doc["sets"]:
                        stream = "\x05" + s["stream"]
                        self.assertTrue(ole.exists(stream))
                        if s["name"] in FMTIDS:
                            self.assertEqual(s["formatId"], FMTIDS[s["name"]])
                        self.assertIn(s["formatId"], section_guids(ole.openstream(stream).read()))
                        if s["name"] == "Custom":
                            continue  # olefile reads only the first section of a stream
                        props = ole.getproperties(stream, convert_time=False)
                        self.assertEqual(props[1] & 0xFFFF, s["codePage"])
                        for p in s["properties"]:
                            value, text = props.get(p["id"], "<fehlt>"), p["text_de"]
                            if p["type"] in (30, 31, 8):
                                self.assertEqual(decode(value, s["codePage"]), text)
                            elif p["type"] in (2, 3, 19) and text:
                                self.assertEqual(value, int(text))
                            elif p["type"] == 64:
                                self.assertEqual(value, int(p["filetime"]) // 10**7)
                            checked += 1
                finally:
                    ole.close()
        self.assertGreater(checked, 500)

    def test_tabellix_props_lists_what_the_manifest_says(self):
        for doc in self.documents()[:15]:
            path = os.path.join(self.root, doc["path"])
            with self.subTest(doc["path"]):
                out = subprocess.run([os.path.join(BIN, "tabellix-props"), path], capture_output=True, env=GERMAN)
                self.assertEqual(out.returncode, 0)
                expected = []
                for s in doc["sets"]:
                    expected.append("[%d] %s" % (s["index"], s["name"]))
                    # A property with neither name nor text (thumbnail, heading pairs) is left out.
                    for p in s["properties"]:
                        text = p["text_de"].replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n")
                        if p["name"] or text:
                            expected.append("  %d\t%s\t%s" % (p["id"], p["name"], text))
                self.assertEqual(out.stdout.decode("utf-8").splitlines(), expected)

    def test_tabellix_props_resolves_names(self):
        doc = self.documents()[0]
        path = os.path.join(self.root, doc["path"])

        def text(set_name, prop_name):
            s = next(s for s in doc["sets"] if s["name"] == set_name)
            return next(p["text_de"] for p in s["properties"] if p["name"] == prop_name)

        names = ["autor", "Dokumentnummer", "Document Number", "Prüfer", "Bemerkung", "fehlt"]
        out = subprocess.run([os.path.join(BIN, "tabellix-props"), path] + names, capture_output=True, env=GERMAN)
        self.assertEqual(out.returncode, 0)
        escape = lambda t: t.replace("\t", "\\t").replace("\r", "\\r").replace("\n", "\\n")
        self.assertEqual(out.stdout.decode("utf-8").splitlines(), [
            "autor\t" + text("SummaryInformation", "Author"),
            "Dokumentnummer\t" + text("ProjectInformation", "Document Number"),
            "Document Number\t" + text("ProjectInformation", "Document Number"),
            "Prüfer\t" + text("Custom", "Prüfer"),
            "Bemerkung\t" + escape(text("Custom", "Bemerkung")),
            "fehlt\t",
        ])

    def test_tabellix_props_on_damaged_files(self):
        damaged = [f for f in self.files if f["role"] in ("damaged", "distractor")]
        self.assertTrue(damaged)
        for f in damaged:
            path = os.path.join(self.root, f["path"])
            with self.subTest(f["path"]):
                listing = subprocess.run([os.path.join(BIN, "tabellix-props"), path], capture_output=True, env=GERMAN)
                self.assertEqual(listing.returncode, 1)
                self.assertTrue(listing.stderr.decode("utf-8").startswith(
                    "tabellix-props: FEHLER beim Lesen der Propertysets von " + path + ": "))
                named = subprocess.run([os.path.join(BIN, "tabellix-props"), path, "Titel"], capture_output=True, env=GERMAN)
                self.assertEqual(named.returncode, 1)
                self.assertEqual(named.stdout.decode("utf-8"), "Titel\tFEHLER beim Lesen von Titel\n")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]])
