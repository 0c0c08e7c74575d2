#include <gtest/gtest.h>

#include "docprops/modDocProps.h"

using namespace tbx;

namespace {

struct Case {
  const char* set;
  const char* name;  // UTF-8
  qint32 id;
};

void Check(const Case* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(GetPropertyId(QString::fromUtf8(c.set), QString::fromUtf8(c.name)), c.id)
        << "set \"" << c.set << "\", name \"" << c.name << "\"";
  }
}

}  // namespace

TEST(Catalogue, EveryAliasOfEverySet) {
  const Case cases[] = {
      {"summaryinformation", "title", 2},
      {"summaryinformation", "Titel", 2},
      {"summaryinformation", "subject", 3},
      {"summaryinformation", "thema", 3},
      {"summaryinformation", "author", 4},
      {"summaryinformation", "autor", 4},
      {"summaryinformation", "keywords", 5},
      {"summaryinformation", "stichwörter", 5},
      {"summaryinformation", "comments", 6},
      {"summaryinformation", "kommentare", 6},
      {"summaryinformation", "template", 7},
      {"summaryinformation", "vorlage", 7},
      {"summaryinformation", "lastauthor", 8},
      {"summaryinformation", "revnumber", 9},
      {"summaryinformation", "edittime", 10},
      {"summaryinformation", "lastprinted", 11},
      {"summaryinformation", "createtime", 12},
      {"summaryinformation", "ursprungsdatum", 12},
      {"summaryinformation", "lastsave", 13},
      {"summaryinformation", "pagecount", 14},
      {"summaryinformation", "wordcount", 15},
      {"summaryinformation", "charcount", 16},
      {"summaryinformation", "appname", 18},
      {"summaryinformation", "docsecurity", 19},
      {"extendedsummaryinformation", "savingapp", 2},
      {"extendedsummaryinformation", "filesize", 3},
      {"extendedsummaryinformation", "sheetcount", 4},
      {"extendedsummaryinformation", "objectcount", 5},
      {"extendedsummaryinformation", "status", 7},
      {"extendedsummaryinformation", "username", 8},
      {"extendedsummaryinformation", "creationlocale", 9},
      {"documentsummaryinformation", "category", 2},
      {"documentsummaryinformation", "kategorie", 2},
      {"documentsummaryinformation", "format", 3},
      {"documentsummaryinformation", "bytes", 4},
      {"documentsummaryinformation", "lines", 5},
      {"documentsummaryinformation", "paragraphs", 6},
      {"documentsummaryinformation", "slides", 7},
      {"documentsummaryinformation", "notes", 8},
      {"documentsummaryinformation", "hiddenslides", 9},
      {"documentsummaryinformation", "mmclips", 10},
      {"documentsummaryinformation", "manager", 14},
      {"documentsummaryinformation", "company", 15},
      {"documentsummaryinformation", "firma", 15},
      {"projectinformation", "docnum", 2},
      {"projectinformation", "document number", 2},
      {"projectinformation", "dokumentnummer", 2},
      {"projectinformation", "revision", 3},
      {"projectinformation", "projectname", 4},
      {"projectinformation", "project name", 4},
      {"projectinformation", "projektname", 4},
  };
  Check(cases, std::size(cases));
}

TEST(Catalogue, CaseOfSetAndNameDoesNotMatter) {
  const Case cases[] = {
      {"SummaryInformation", "Autor", 4},
      {"summaryinformation", "AUTHOR", 4},
      {"SummaryInformation", "Titel", 2},
      {"SummaryInformation", "titel", 2},
      {"SummaryInformation", "TITEL", 2},
      {"SUMMARYINFORMATION", "STICHWÖRTER", 5},
      {"SummaryInformation", "Stichwörter", 5},
      {"ProjectInformation", "Document Number", 2},
      {"ProjectInformation", "DOKUMENTNUMMER", 2},
      {"DocumentSummaryInformation", "Firma", 15},
      {"ExtendedSummaryInformation", "SavingApp", 2},
      {"ProjectInformation", "Project Name", 4},
  };
  Check(cases, std::size(cases));
}

TEST(Catalogue, NothingIsTrimmedOrGuessed) {
  const Case cases[] = {
      {"ProjectInformation", "DocumentNumber", 0},   {"ProjectInformation", "document_number", 0},
      {"ProjectInformation", "document  number", 0}, {"SummaryInformation", " author", 0},
      {"SummaryInformation", "author ", 0},          {"SummaryInformation", "stichworter", 0},
      {"SummaryInformation ", "author", 0},          {"Summary Information", "author", 0},
  };
  Check(cases, std::size(cases));
}

TEST(Catalogue, NamesBelongToTheirSetOnly) {
  const Case cases[] = {
      {"ExtendedSummaryInformation", "company", 0},
      {"ProjectInformation", "author", 0},
      {"SummaryInformation", "docnum", 0},
      {"DocumentSummaryInformation", "title", 0},
      {"Custom", "author", 0},
      {"MechanicalModeling", "title", 0},
      {"", "", 0},
      {"SummaryInformation", "", 0},
      {"SummaryInformation", "Title", 2},
  };
  Check(cases, std::size(cases));
}
