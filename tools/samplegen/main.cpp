// tbx-samplegen: sample CAD documents for tests, the demo and benchmarks.
//
//   tbx-samplegen document OUT [--seed N] [--kind par|psm|asm|dft] [--manifest FILE]
//       one document with the six property sets (summary, document summary,
//       extended summary, project, mechanical modelling, user-defined) and
//       German or English values; the kind defaults to OUT's extension.
//   tbx-samplegen tree DIR --count N [--seed N] [--manifest FILE]
//       N documents in nested folders below DIR (folder names with blanks,
//       dots and umlauts, hidden folders), some with upper-case extensions,
//       some hidden, about 3 % damaged, plus distractor files (other
//       extensions, no extension, backups).
//   tbx-samplegen build OUT SPEC.json
//       a document exactly as the JSON description says (see BuildMode.h):
//       streams in order, property sets with chosen identifiers, names,
//       types, values and code pages
//   tbx-samplegen streams OUT NAME:SIZE...
//       a compound file with one root stream per argument; byte k of the j-th
//       stream is (k*7 + j*13 + k/251) & 0xFF
//
// The same seed always gives the same files. The manifest (JSON) lists every
// file written: path, role (document, damaged, distractor), hidden, and for
// documents every set (index, name, format identifier, stream, code page)
// with every property (id, name, type, text_de: the text a reader shows in a
// German locale, local time zone of the generating process).
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "BuildMode.h"
#include "StreamsMode.h"
#include "TreeMode.h"

namespace {

const char kUsage[] =
    "Aufruf:\n"
    "  tbx-samplegen document AUSGABE [--seed N] [--kind par|psm|asm|dft] [--manifest DATEI]\n"
    "  tbx-samplegen tree ORDNER --count N [--seed N] [--manifest DATEI]\n"
    "  tbx-samplegen build AUSGABE BESCHREIBUNG.json\n"
    "  tbx-samplegen streams AUSGABE NAME:GRÖSSE...\n"
    "Gleicher Startwert (--seed, Vorgabe 1) ergibt gleiche Dateien. Das Manifest (JSON)\n"
    "nennt jede geschriebene Datei mit Rolle und den Propertysets jedes Dokuments.\n";

int Usage(bool asked) {
  std::fputs(kUsage, asked ? stdout : stderr);
  return asked ? 0 : 2;
}

// Takes "--name VALUE" out of args; fallback when absent.
QString TakeOption(QStringList& args, const QString& name, const QString& fallback) {
  const qsizetype at = args.indexOf(name);
  if (at < 0 || at + 1 >= args.size()) return fallback;
  const QString value = args[at + 1];
  args.remove(at, 2);
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  if (args.contains(QStringLiteral("--help"))) return Usage(true);
  const QString mode = args.isEmpty() ? QString() : args.takeFirst();
  if (mode == u"streams") return tbx::samplegen::RunStreamsMode(args);
  if (mode == u"build") return args.size() == 2 ? tbx::samplegen::BuildFromSpec(args[1], args[0]) : Usage(false);
  bool seedOk = false;
  const quint64 seed = TakeOption(args, QStringLiteral("--seed"), QStringLiteral("1")).toULongLong(&seedOk);
  const QString manifest = TakeOption(args, QStringLiteral("--manifest"), QString());
  if (!seedOk) return Usage(false);
  const QString kind = TakeOption(args, QStringLiteral("--kind"), QString());
  if (mode == u"document" && args.size() >= 1) {
    return tbx::samplegen::WriteOneDocument(args[0], kind.isEmpty() ? QFileInfo(args[0]).suffix().toLower() : kind,
                                            seed, manifest);
  }
  if (mode == u"tree" && args.size() >= 1) {
    bool countOk = false;
    const int count = TakeOption(args, QStringLiteral("--count"), QString()).toInt(&countOk);
    if (!countOk || count < 0) return Usage(false);
    return tbx::samplegen::WriteTree(args[0], count, seed, manifest);
  }
  return Usage(false);
}
