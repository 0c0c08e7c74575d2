#include "docprops/DocumentRowScope.h"

#include <new>

#include "docprops/DocumentFile.h"

namespace tbx {
namespace {

// The run reads documents on one thread; a scope belongs to the thread that
// opened it, so reads on any other thread go on opening their documents.
thread_local DocumentRowScope* innermost = nullptr;

}  // namespace

DocumentParse ParseDocument(const QString& fileName) {
  DocumentParse parse;
  try {
    parse.sets = std::make_unique<FilePropertySets>();
  } catch (const std::bad_alloc&) {
    parse.status = ReadStatus::out_of_memory;
    return parse;
  }
  // The byte source lives only inside Open: the file is closed on return,
  // the parsed streams stay in memory.
  auto file = std::make_unique<DocumentFile>();
  parse.status = file->Open(fileName);
  if (parse.status == ReadStatus::ok) parse.status = parse.sets->Open(std::move(file));
  return parse;
}

void PrepareLookUps(DocumentParse& parse, const QStringList& names) {
  if (!parse.sets) return;
  parse.lookUps.reserve(size_t(names.size()));
  // One locale for all names: every copy of the default locale counts
  // itself on data that all readers share.
  const QLocale locale;
  for (const QString& name : names) parse.lookUps.emplace_back(name, LookUpProperty(parse, name, locale));
  parse.sets.reset();
}

DocumentRowScope::DocumentRowScope(QString fileName) : fileName_(std::move(fileName)), outer_(innermost) {
  innermost = this;
}

DocumentRowScope::DocumentRowScope(QString fileName, std::optional<DocumentParse> parse)
    : DocumentRowScope(std::move(fileName)) {
  parse_ = std::move(parse);
}

DocumentRowScope::~DocumentRowScope() { innermost = outer_; }

std::optional<PropertyLookup> DocumentRowScope::LookUp(const QString& fileName, const QString& propertyName) {
  for (DocumentRowScope* scope = innermost; scope; scope = scope->outer_) {
    if (scope->fileName_ != fileName) continue;
    if (scope->parse_)
      for (const auto& [name, found] : scope->parse_->lookUps)
        if (name == propertyName) return found;
    // A container that could not be made is tried again on the next read,
    // as it would be without the scope; so is a parse that kept only its
    // look-ups when a name not among them is asked.
    if (!scope->parse_ || !scope->parse_->sets) scope->parse_ = ParseDocument(fileName);
    return LookUpProperty(*scope->parse_, propertyName);
  }
  return std::nullopt;
}

}  // namespace tbx
