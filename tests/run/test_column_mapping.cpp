#include <gtest/gtest.h>

#include "RunLogCapture.h"
#include "run/ColumnMapping.h"

using namespace tbx;

TEST(ColumnMapping, LengthAndQuoteMarkersAreTakenApart) {
  struct Case {
    const char* value;
    const char* name;
    qint16 maxLength;
    bool quote;
  };
  const Case cases[] = {
      {"Titel", "Titel", -1, false},
      {"Titel#L40", "Titel", 40, false},
      {"Nummer#Q", "Nummer#Q", -1, true},
      {"Nummer#Q#L10", "Nummer#Q", 10, true},
      {"Nummer#L10#Q", "Nummer", 0, false},  // the quote marker goes with the length text
      {"Titel#L", "Titel", 0, false},
      {"Titel#L99999", "Titel", 0, false},  // beyond 16 bits
      {"Titel#L-5", "Titel", -5, false},
      {"Titel#l5", "Titel#l5", -1, false},  // markers are case-sensitive
      {"Titel#q", "Titel#q", -1, false},
      {"", "", -1, false},
  };
  for (const Case& c : cases) {
    const MappedColumn m = ParseMappedColumn("D", QString::fromUtf8(c.value));
    EXPECT_EQ(m.Key, "D");
    EXPECT_EQ(m.PropertyName, QString::fromUtf8(c.name)) << c.value;
    EXPECT_EQ(m.MaxLength, c.maxLength) << c.value;
    EXPECT_EQ(m.Quote, c.quote) << c.value;
  }
}

TEST(ColumnMapping, HeaderSwitchIsCaseSensitive) {
  for (const char* on : {"ja", "1", "true", "wahr", "yes"}) EXPECT_TRUE(HeaderSwitchOn(on)) << on;
  for (const char* off : {"Ja", "JA", "Yes", "TRUE", "nein", "0", "", "j"}) EXPECT_FALSE(HeaderSwitchOn(off)) << off;
}

class ColumnMappingFile : public ::testing::Test {
 protected:
  QString Config(const QByteArray& text) {
    const QString path = log.Folder() + "/ZireVuz.ini";
    EXPECT_TRUE(test::WriteTextFile(path, text));
    return path;
  }
  test::RunLogCapture log;
  test::FakeDialogs dialogs;
};

TEST_F(ColumnMappingFile, ReadsEntriesCriteriaAndHeaderWithTheirLogLines) {
  const QString config = Config(
      "[Config]\nKopfzeile = ja \n[Criteria]\nTitel=Lager\nAutor=empty\n"
      "[MapProperties]\nC=Titel\nD=Autor#L20\nE=Nummer#Q\n");
  const ColumnMapping m = ReadColumnMapping(log.Log(), TheDialogs(), config, false);
  EXPECT_EQ(m.section, "MapProperties");
  EXPECT_EQ(m.criteria, (QStringList{"Titel", "Autor"}));
  EXPECT_TRUE(m.header);
  ASSERT_EQ(m.columns.size(), 3u);
  EXPECT_EQ(m.columns[1].PropertyName, "Autor");
  EXPECT_EQ(m.columns[1].MaxLength, 20);
  EXPECT_TRUE(m.columns[2].Quote);
  EXPECT_TRUE(dialogs.calls.empty());
  EXPECT_EQ(log.Messages(), (QStringList{
                                "Lese Mapping-Information",
                                QString::fromUtf8("Sektion für Attributsmappping ist 'MapProperties '"),
                                "3 Properties zu mappen",
                                "0: Spalte C = Titel",
                                QString::fromUtf8("1: Spalte D = Autor max. Länge 20"),
                                "2: Spalte E = Nummer#Q",
                                "Kopfzeile ausgeben: Wahr",
                            }));
}

TEST_F(ColumnMappingFile, DatabaseModeWithoutItsSectionWarnsAndMapsNothing) {
  const QString config = Config("[Config]\nKopfzeile=Ja\n[MapProperties]\nC=Titel\n");
  const ColumnMapping m = ReadColumnMapping(log.Log(), TheDialogs(), config, true);
  EXPECT_EQ(m.section, "SQLMapProperties");
  EXPECT_TRUE(m.columns.empty());
  EXPECT_TRUE(m.criteria.isEmpty());
  EXPECT_FALSE(m.header);
  ASSERT_EQ(dialogs.calls.size(), 1u);
  const test::FakeDialogs::Call& box = dialogs.calls[0];
  EXPECT_EQ(box.kind, "message");
  EXPECT_EQ(box.text, QString::fromUtf8(
                          "In der Konfigurationsdatei fehlt die Sektion [SQLMapProperties] oder es sind keine "
                          "zu mappende Properties definiert. Das Programm wird fortgesetzt, es werden jedoch "
                          "nur Dateiname und Pfad ausgegeben."));
  EXPECT_EQ(box.title, "Warnung");
  EXPECT_EQ(box.icon, static_cast<int>(MessageIcon::Warning));
  EXPECT_EQ(box.buttons, static_cast<int>(MessageButtons::Ok));
  EXPECT_EQ(log.Messages(), (QStringList{
                                "Lese Mapping-Information",
                                QString::fromUtf8("Sektion für Attributsmappping ist 'SQLMapProperties '"),
                                "0 Properties zu mappen",
                                "Kopfzeile ausgeben: Falsch",
                            }));
}
