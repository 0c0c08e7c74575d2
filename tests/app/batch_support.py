"""Helpers of the tabellix-batch end-to-end tests: documents with chosen
property values (written by tbx-samplegen, whose property-set writer is not
the reader under test), configurations, runs of the program, its run log and
the workbooks read back by xlrd."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

BIN = os.environ.get("TBX_BIN_DIR", "build/app")
TOOLS = os.environ.get("TBX_TOOLS_DIR", "build/tools")
SOURCE = os.environ.get("TBX_SOURCE_DIR", ".")
sys.path.insert(0, os.path.join(SOURCE, "tests", "xls"))
import xls_dump  # noqa: E402  (the shared xlrd/olefile reader of the workbook tests)

STAMP = re.compile(r"^\d\d\.\d\d\.\d{4}( \d\d:\d\d:\d\d)? - ")
SUMMARY_ID = "F29F85E0-4FF9-1068-AB91-08002B27B3D9"
DOC_SUMMARY_ID = "D5CDD502-2E9C-101B-9397-08002B2CF9AE"
CUSTOM_ID = "D5CDD505-2E9C-101B-9397-08002B2CF9AE"
VT_LPSTR = 30
SUMMARY_IDS = {"Title": 2, "Subject": 3, "Author": 4}
YELLOW = [255, 255, 0]


def german_env():
    # German as on the users' machines: log name, time stamps and dates follow the locale.
    return dict(os.environ, LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8")


def build_document(path, summary=None, custom=None):
    """A document whose summary set holds summary {"Title": ...} and whose
    user-defined set holds custom {name: text}; absent names are not written."""
    def prop(pid, value, name=""):
        return {"id": pid, "type": VT_LPSTR, "value": value, "name": name}

    summary_props = [prop(SUMMARY_IDS[k], v) for k, v in (summary or {}).items()]
    custom_props = [prop(2 + i, v, k) for i, (k, v) in enumerate((custom or {}).items())]
    layout = {"streams": [
        {"name": "\u0005SummaryInformation",
         "sections": [{"formatId": SUMMARY_ID, "codePage": 1252, "properties": summary_props}]},
        {"name": "\u0005DocumentSummaryInformation",
         "sections": [{"formatId": DOC_SUMMARY_ID, "codePage": 1252, "properties": []},
                      {"formatId": CUSTOM_ID, "codePage": 65001, "properties": custom_props}]},
    ]}
    layout_path = path + ".json"
    with open(layout_path, "w", encoding="utf-8") as f:
        json.dump(layout, f)
    subprocess.run([os.path.join(TOOLS, "tbx-samplegen"), "build", path, layout_path], check=True, timeout=120)
    os.remove(layout_path)
    return path


def ini_text(sections):
    """[section] key=value text from {section: {key: value}} (dicts keep their order)."""
    out = []
    for section, keys in sections.items():
        out.append("[%s]" % section)
        out.extend("%s=%s" % kv for kv in keys.items())
    return "\n".join(out) + "\n"


def run_batch(config, timeout=600):
    return subprocess.run([os.path.join(BIN, "tabellix-batch"), config], env=german_env(),
                          capture_output=True, timeout=timeout, cwd="/")


def log_lines(folder):
    """The run log beside the configuration, without time stamps."""
    logs = [f for f in os.listdir(folder) if f.startswith("Protokoll_") and f.endswith(".log")]
    if len(logs) != 1:
        return None
    with open(os.path.join(folder, logs[0]), encoding="utf-8") as f:
        return [STAMP.sub("", line) for line in f.read().split("\n")[:-1]]


class Sheet:
    """The first worksheet of a workbook as xlrd reads it; rows and columns 1-based."""

    def __init__(self, path):
        data = xls_dump.dump(path)
        if data["complaints"]:
            raise AssertionError("xlrd complained about %s: %s" % (path, data["complaints"]))
        sheet = data["sheets"][0]
        self.nrows = sheet["nrows"]
        self.row1_bold = sheet["row0_bold"]
        self.cells = {(c["row"] + 1, c["col"] + 1): c for c in sheet["cells"]}

    def value(self, row, col):
        cell = self.cells.get((row, col))
        return cell["value"] if cell else None

    def row(self, row, ncols):
        return [self.value(row, c) for c in range(1, ncols + 1)]

    def marked(self):
        """The cells with a solid yellow fill."""
        return {rc for rc, c in self.cells.items() if c["pattern"] == 1 and c["rgb"] == YELLOW}


class BatchTestCase(unittest.TestCase):
    """A fresh folder per test: the configuration and log in it, documents in daten/."""

    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.data = os.path.join(self.tmp, "daten")
        os.mkdir(self.data)

    def reset(self):
        """Empties the folder for the next case of a table."""
        shutil.rmtree(self.tmp)
        os.mkdir(self.tmp)
        os.mkdir(self.data)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def run_with(self, sections, workbook="Liste.xls", expect_status=0):
        """Runs tabellix-batch on daten/ with these configuration sections."""
        sections = dict(sections)
        sections["Pfade"] = {"SourceDir": self.data, "ExcelFile": workbook}
        config = os.path.join(self.tmp, "ZireVuz.ini")
        with open(config, "w", encoding="utf-8") as f:
            f.write(ini_text(sections))
        result = run_batch(config)
        self.assertEqual(result.returncode, expect_status, result.stderr.decode(errors="replace"))
        return result

    def log(self):
        return log_lines(self.tmp)
