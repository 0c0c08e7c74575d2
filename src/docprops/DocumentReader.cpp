#include "docprops/DocumentReader.h"

#include <new>

namespace tbx {

PropertyRead RowDocument::ReadDocumentProperty(RunLog& log, const QString& propertyName) {
  PropertyLookup found;
  bool known = false;
  if (parse_) {
    for (const auto& [name, lookUp] : parse_->lookUps) {
      if (name != propertyName) continue;
      found = lookUp;
      known = true;
      break;
    }
  }
  if (!known) {
    // A container that could not be made is tried again on the next read,
    // as the file would be; so is a parse that kept only its look-ups when a
    // name not among them is asked.
    if (!parse_ || !parse_->sets) parse_ = ParseDocument(path_);
    found = LookUpProperty(*parse_, propertyName);
  }
  switch (found.outcome) {
    case PropertyLookup::Found:
      return {found.value, false};
    case PropertyLookup::NotOpened:
      log.LogMessage(QStringLiteral("FEHLER beim Öffnen der Propertysets von ") + path_ + QStringLiteral(": ") +
                     StatusDescription(found.status));
      break;
    case PropertyLookup::NotRead:
      // A document without any set has no description after the ": ".
      log.LogMessage(QStringLiteral("FEHLER beim Lesen der Propertysets von ") + path_ + QStringLiteral(": ") +
                     StatusDescription(found.status));
      break;
  }
  return {TextCell(QStringLiteral("FEHLER beim Lesen von ") + propertyName), true};
}

DocumentReader::DocumentReader(const FoundDocuments& found, QStringList names, WorkerPool& pool, int window)
    : found_(found),
      plan_(std::move(names)),
      ahead_(
          pool, found.size(), plan_.Names().isEmpty() ? 0 : window, [this](qsizetype index, int) { return Read(index); },
          [](qsizetype, std::exception_ptr failure) -> std::optional<DocumentParse> {
            // A lack of memory on a helper is that document's error; the row
            // says so and the run goes on. Anything else is a fault of the
            // program and ends the run through its error path.
            try {
              std::rethrow_exception(failure);
            } catch (const std::bad_alloc&) {
              DocumentParse parse;
              parse.status = ReadStatus::out_of_memory;
              return parse;
            }
          }) {}

std::optional<DocumentParse> DocumentReader::Read(qsizetype index) const {
  // Read on the loop's own thread, a row parses on its first read.
  if (!ahead_.Active()) return std::nullopt;
  DocumentParse parse = ParseDocument(found_.Path(index));
  PrepareLookUps(parse, plan_);
  return parse;
}

RowDocument DocumentReader::Take(qsizetype index, const std::function<void()>& whileWaiting) {
  return RowDocument(found_.Path(index), ahead_.Take(index, whileWaiting));
}

QString ReadDocumentProperty(RunLog& log, const QString& path, const QString& propertyName) {
  return RowDocument(path).ReadDocumentProperty(log, propertyName).text;
}

}  // namespace tbx
