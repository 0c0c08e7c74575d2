#include <gtest/gtest.h>

#include <cstdio>

#include "TestSupport.h"
#include "interaction/ProgressTexts.h"
#include "interaction/TerminalLine.h"
#include "interaction/TerminalProgress.h"

using tbx::TerminalProgress;

// The loop's pace counts from the loop's start and only after a few seconds
// of it; a line never takes more columns than it is given, the rate and the
// time left give way before the counts, and names are shortened in the middle.
TEST(TerminalProgress, LinesShowCountPercentRateAndTimeLeft) {
  struct Case { qint64 done, total; double seconds; int columns; const char* name; const char* want; };
  const Case cases[] = {
      {0, 200, 0.0, 0, "", "0 von 200 Dokumenten · 0 %"},
      {50, 200, 2.0, 0, "", "50 von 200 Dokumenten · 25 %"},
      {50, 200, 5.0, 0, "", "50 von 200 Dokumenten · 25 % · 10 Dok./s · noch etwa 0:15"},
      {200, 200, 4.0, 0, "", "200 von 200 Dokumenten · 100 % · 50 Dok./s"},
      {1, 10000, 4.0, 0, "", "1 von 10.000 Dokumenten · 0 % · 0,3 Dok./s · noch etwa 11:06:36"},
      {1, 1, 0.5, 0, "", "1 von 1 Dokument · 100 %"},
      {0, 0, 0.0, 0, "", "0 von 0 Dokumenten · 0 %"},
      {1234, 15356, 30.0, 79, "/daten/projekt/Teil_0042.par",
       "[#-------------] 1.234 von 15.356 Dokumenten · 8 % · 41 Dok./s · noch etwa 5:43"},
      {1234, 15356, 30.0, 119, "/daten/projekt/Baugruppe_Getriebe_Hauptwelle/Teil_0042.par",
       "[#-----------------------] 1.234 von 15.356 Dokumenten · 8 % · 41 Dok./s · noch etwa 5:43 · "
       "/daten/projek…Teil_0042.par"},
      {1234, 15356, 30.0, 50, "", "1.234 von 15.356 Dokumenten · 8 % · noch etwa 5:43"},
      {1234, 15356, 30.0, 20, "", "1.234 von 15.356 Dok"},
  };
  for (const Case& c : cases) {
    const QString line = TerminalProgress::LoopLine(c.done, c.total, c.seconds, c.columns, QString::fromUtf8(c.name));
    EXPECT_EQ(line, QString::fromUtf8(c.want));
    if (c.columns > 0) {
      EXPECT_LE(tbx::TerminalColumns(line), c.columns) << line.toStdString();
    }
  }
}

TEST(TerminalProgress, ScanLinesAndNamesFitTheirColumns) {
  struct Case { const char* text; int columns; const char* want; };
  const Case cases[] = {
      {"/srv/cad/Projekte/2026/Windkraft/Getriebe/", 24, "/srv/cad/Pr…ft/Getriebe/"},
      {"/kurz/", 24, "/kurz/"},
      {"/東京/設計/図面/部品/", 10, "/東…部品/"},
      {"/daten/x", 0, ""},
  };
  for (const Case& c : cases) {
    const QString elided = tbx::ElideMiddle(QString::fromUtf8(c.text), c.columns);
    EXPECT_EQ(elided, QString::fromUtf8(c.want));
    EXPECT_LE(tbx::TerminalColumns(elided), c.columns);
  }
  EXPECT_EQ(TerminalProgress::ScanLine(12, 1234, true, "/srv/cad/Projekte/2026/Windkraft/Getriebe/", 79),
            QString::fromUtf8("Verzeichnisse durchsucht: 12 · Dokumente gefunden: 1.234 · /srv/cad/…/Getriebe/"));
}

TEST(TerminalProgress, PlainOutputWritesTheFinalLineAndNoEscapes) {
  char* buf = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buf, &size);
  {
    TerminalProgress p(out, false);
    p.SetStatus("/daten/ordner");
    for (int i = 1; i <= 3; ++i) p.DocumentProgress(i, 3);
  }
  std::fclose(out);
  const QString text = QString::fromLocal8Bit(buf, static_cast<int>(size));
  std::free(buf);
  EXPECT_TRUE(text.startsWith(QString::fromUtf8("3 von 3 Dokumenten · 100 %"))) << text.toStdString();
  EXPECT_FALSE(text.contains(u'\x1b'));
  EXPECT_FALSE(text.contains("/daten/ordner"));
}
