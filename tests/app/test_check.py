"""tabellix-batch --check on a configuration with one mistake at a time: the
German line FILE:LINE: ... that names it, and the exit status; a clean
configuration passes with 0, and the check writes neither workbook nor log."""
import os
import subprocess
import sys
import unittest

from batch_support import BIN, BatchTestCase, build_document, german_env

CLEAN = """[Config]
Pattern=par
Kopfzeile=ja
[Pfade]
SourceDir={data}
ExcelFile=Liste.xls
[MapProperties]
C=Titel
D=Autor#L20
E=Prüfer
F=%Dateityp
[Criteria]
Titel=Welle
[Titel]
Format0=!!!!!
"""

# (the line replaced or added, its text, the expected finding, exit status)
CASES = [
    (2, "Patern=par", "{config}:2: Warnung: Unbekannter Schlüssel in [Config]: Patern – gemeint ist wohl Pattern?", 1),
    (2, "maxRange=1000", "{config}:2: Warnung: maxRange=1000 gilt nicht: erlaubt sind ganze Zahlen von 1001 bis 65000", 1),
    (2, "Pattern=.par", '{config}:2: Warnung: Pattern-Eintrag ".par" findet keine Datei', 1),
    (3, "Kopfzeile=Ja", "{config}:3: Warnung: Kopfzeile=Ja schaltet die Kopfzeile nicht ein", 1),
    (3, "Zeltypen=ja", "{config}:3: Warnung: Unbekannter Schlüssel in [Config]: Zeltypen – gemeint ist wohl "
                       "Zelltypen?", 1),
    (5, "SourceDir={data}/fehlt", "{config}:5: Fehler: Das angegebene Startverzeichnis existiert nicht: {data}/fehlt/", 2),
    (8, "C1=Titel", "{config}:8: Fehler: C1 ist keine Spalte von A bis IV: der Lauf endet mit Laufzeitfehler 1004", 2),
    (9, "D=Autor#L20#Q", "{config}:9: Warnung: D=Autor#L20#Q: #Q hinter #L wird mit der Länge abgeschnitten", 1),
    (9, "D=Autor#Q", '{config}:9: Warnung: Autor#Q kennt weder der Katalog noch eines der ersten 1 Dokumente unter '
                     'SourceDir: die Zellen enthalten nur "" – gemeint ist wohl autor?', 1),
    (9, "D=Autor#Q#L5", "{config}:9: Warnung: Autor#Q kennt weder der Katalog noch eines der ersten 1 Dokumente "
                        "unter SourceDir: die Spalte bleibt leer", 1),
    (10, "E=Prüfr", "{config}:10: Warnung: Prüfr kennt weder der Katalog noch eines der ersten 1 Dokumente unter "
                    "SourceDir: die Spalte bleibt leer – gemeint ist wohl Prüfer?", 1),
    (13, "Kategori=bau", "{config}:13: Warnung: Kategori kennt weder der Katalog noch eines der ersten 1 Dokumente "
                         "unter SourceDir: das Kriterium schließt kein Dokument aus – gemeint ist wohl kategorie?", 1),
    (15, "Format0=99-999", '{config}:15: Warnung: Format0=99-999 passt zu keinem der 1 Werte aus den ersten Dokumenten '
                           '(etwa "Welle")', 1),
    (16, "[Sonstiges]", "{config}:16: Warnung: Unbekannter Abschnitt [Sonstiges]", 1),
    (6, "ExcelFile=/dev/null", "{config}:6: Fehler: Die angegebene Exceldatei ist keine gewöhnliche Datei: /dev/null", 2),
    (6, "ExcelFile=/proc/Liste.xls",
     "{config}:6: Fehler: Die angegebene Exceldatei kann nicht erzeugt werden: /proc/Liste.xls: ", 2),
    (6, "ExcelFile=ZireVuz.ini", "{config}:6: Fehler: Die angegebene Exceldatei ist die Konfigurationsdatei: ", 2),
    (8, "A=Titel", "{config}:8: Warnung: A=Titel überschreibt die Spalte A (Pfad) in Kopfzeile und Zeilen", 1),
]


class ConfigurationCheck(BatchTestCase):
    def setUp(self):
        super().setUp()
        self.config = os.path.join(self.tmp, "ZireVuz.ini")

    def check(self, text):
        with open(self.config, "w", encoding="utf-8") as f:
            f.write(text)
        return self.run_check()

    def run_check(self):
        return subprocess.run([os.path.join(BIN, "tabellix-batch"), "--check", self.config], env=german_env(),
                              capture_output=True, timeout=120)

    def test_each_mistake_is_found_on_its_line(self):
        build_document(os.path.join(self.data, "a.par"), {"Title": "Welle", "Author": "Anna"},
                       custom={"Prüfer": "K. Groß"})
        clean = CLEAN.format(data=self.data)
        r = self.check(clean)
        self.assertEqual((r.returncode, r.stdout.decode().splitlines()[-1]),
                         (0, "%s/ZireVuz.ini: keine Befunde." % self.tmp), r.stdout.decode())
        self.assertEqual(sorted(os.listdir(self.tmp)), ["ZireVuz.ini", "daten"])
        for number, line, expected, status in CASES:
            with self.subTest(line=line):
                lines = clean.split("\n")
                lines[number - 1:number - 1 if number > len(lines) - 1 else number] = [line.format(data=self.data)]
                r = self.check("\n".join(lines))
                out = r.stdout.decode()
                self.assertIn(expected.format(data=self.data, config=self.config), out)
                self.assertEqual(r.returncode, status, out)

    def test_maxrange_follows_the_workbook_format(self):
        build_document(os.path.join(self.data, "a.par"), {"Title": "Welle", "Author": "Anna"},
                       custom={"Prüfer": "K. Groß"})
        warning = "{config}:2: Warnung: maxRange=%s gilt nicht: erlaubt sind ganze Zahlen von 1001 bis %s, es gilt 65000"
        for workbook, max_range, largest in [("Liste.xlsx", "1048575", None), ("Liste.xlsx", "1048576", "1048575"),
                                             ("Liste.xls", "65001", "65000")]:
            with self.subTest(workbook=workbook, max_range=max_range):
                text = CLEAN.format(data=self.data).replace("ExcelFile=Liste.xls", "ExcelFile=" + workbook)
                r = self.check(text.replace("Pattern=par", "maxRange=%s\nZelltypen=ja\nPattern=par" % max_range))
                out = r.stdout.decode()
                if largest is None:
                    self.assertEqual(r.returncode, 0, out)
                else:
                    self.assertIn((warning % (max_range, largest)).format(config=self.config), out)

    def test_a_file_that_is_no_configuration_is_an_error(self):
        cases = [
            (None, "Konfigurationsdatei nicht gefunden: {config}"),
            (b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1\0\0[Pfade]\n", "Die Konfigurationsdatei {config} ist keine Textdatei"),
            (bytes(range(1, 32)) * 4 + b"[Pfade]\n", "Die Konfigurationsdatei {config} ist keine Textdatei"),
        ]
        for content, message in cases:
            with self.subTest(message=message, content=content and content[:8]):
                if os.path.exists(self.config):
                    os.remove(self.config)
                if content is not None:
                    with open(self.config, "wb") as f:
                        f.write(content)
                r = self.run_check()
                self.assertEqual((r.returncode, r.stdout.decode().splitlines()[0]),
                                 (2, ("{config}: Fehler: " + message).format(config=self.config)))

    def test_database_mode_tries_the_connection_without_showing_the_password(self):
        build_document(os.path.join(self.data, "a.par"), {"Title": "Welle"})
        r = self.check(CLEAN.format(data=self.data) + "[SQL]\nDoSQL=ja\nSelect=*\nFrom=ulvo.documents\n"
                       "Where=FILE_NAME='%Id'\n[ODBC]\nProvider=SQLite\nDataSource={0}/fehlt.db\nDatabase=ulvo\n"
                       "Username=leser\nPassword=geheim123\n[SQLMapProperties]\nC=TITEL\n".format(self.tmp))
        out = r.stdout.decode()
        self.assertEqual(r.returncode, 2, out)
        self.assertIn("Fehler: Keine Verbindung zur Datenbank: ", out)
        self.assertNotIn("geheim123", out)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
