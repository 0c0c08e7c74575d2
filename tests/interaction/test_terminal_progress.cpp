#include <gtest/gtest.h>

#include <cstdio>

#include "interaction/TerminalProgress.h"

using tbx::TerminalProgress;

TEST(TerminalProgress, LinesShowCountPercentRateAndTimeLeft) {
  struct Case { qint64 done, total; double seconds; bool bar; const char* want; };
  const Case cases[] = {
      {0, 200, 0.0, false, "0/200 Dokumente (0 %)"},
      {50, 200, 2.0, false, "50/200 Dokumente (25 %), 25 Dok./s, noch etwa 0:06"},
      {200, 200, 4.0, false, "200/200 Dokumente (100 %), 50 Dok./s"},
      {100, 200, 1.0, true, "[############------------] 100/200 Dokumente (50 %), 100 Dok./s, noch etwa 0:01"},
      {1, 10000, 1.0, false, "1/10000 Dokumente (0 %), 1 Dok./s, noch etwa 2:46:39"},
      {0, 0, 0.0, false, "0/0 Dokumente (100 %)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TerminalProgress::ProgressLine(c.done, c.total, c.seconds, c.bar), QString::fromUtf8(c.want));
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
  EXPECT_TRUE(text.startsWith("3/3 Dokumente (100 %)")) << text.toStdString();
  EXPECT_FALSE(text.contains(u'\x1b'));
  EXPECT_FALSE(text.contains("/daten/ordner"));
}
