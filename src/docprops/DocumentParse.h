#pragma once
// One parse of a document: its property sets as one open gave them, and the
// look-up of a property in them. A row asks the same document for every
// criterion and every mapped column; on a network share opening it once
// per property is what makes large trees slow, so a row reads one parse.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>
#include <vector>

#include "common/CellValue.h"
#include "propset/FilePropertySets.h"

namespace tbx {

// What a look-up of one property found, before anything is logged.
struct PropertyLookup {
  enum Outcome { Found, NotOpened, NotRead };
  Outcome outcome = Found;
  CellValue value;                     // when Found: text and typed value, "" when no set yields the property
  ParseStatus status = ReadStatus::ok;  // otherwise: why the sets could not be read
};

// A document's property sets as one open gave them.
struct DocumentParse {
  std::unique_ptr<FilePropertySets> sets;  // nullptr when the container could not be made
  ParseStatus status = ReadStatus::ok;
  // Look-ups made when the sets were dropped early (PrepareLookUps).
  std::vector<std::pair<QString, PropertyLookup>> lookUps;
};

// Opens, parses and closes fileName.
DocumentParse ParseDocument(const QString& fileName);

// The look-up of one property in a parse; needs the parse's sets. Values
// are written as locale (the default locale) writes numbers and dates.
PropertyLookup LookUpProperty(const DocumentParse& parse, const QString& propertyName,
                              const QLocale& locale = QLocale());

// A run's names with what the known sets and the catalogue give for each,
// found once per run: every document is asked the same names, and finding
// them in the sets' name tables cost more than reading their values.
// Immutable, so every helper may use it.
class LookUpPlan {
 public:
  explicit LookUpPlan(QStringList names);
  const QStringList& Names() const { return names_; }

  // A name (by its index in Names()) in a known set (by its rank).
  struct InKnownSet {
    bool builtIn = false;  // the set has an English name equal to it
    quint32 builtInId = 0;
    qint32 catalogueId = 0;  // the catalogue's identifier for it there, 0 when none
  };
  const InKnownSet& At(int rank, qsizetype name) const { return known_[size_t(rank * names_.size() + name)]; }

 private:
  QStringList names_;
  std::vector<InKnownSet> known_;  // by rank, then by name
};

// Looks up every name of the plan and drops the sets, so that a parse made
// on a helper thread is freed there and reaches its row small; each look-up
// finds what LookUpProperty finds. A parse whose container could not be
// made is left as it is: the row tries again.
void PrepareLookUps(DocumentParse& parse, const LookUpPlan& plan);

}  // namespace tbx
