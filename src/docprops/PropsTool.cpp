#include "docprops/PropsTool.h"

#include "common/CommandLine.h"
#include "common/TextForm.h"
#include "docprops/DocumentReader.h"

#include "docprops/modDocProps.h"
#include "propset/FilePropertySets.h"

namespace tbx {
namespace {

const char kProgram[] = "tabellix-props";
const char kAliases[] = "--aliases";
const char kUsage[] =
    "Aufruf: tabellix-props [--] DATEI [NAME...]\n"
    "       tabellix-props --aliases\n"
    "\n"
    "Ohne NAME: alle Propertysets (Index und Name) und Properties (Kennung, Name,\n"
    "Wert); Properties ohne Namen und ohne Wert fehlen.\n"
    "Mit NAME: je Name eine Zeile NAME<TAB>WERT, der Wert wie ihn Tabellix liest,\n"
    "auch Erstelldatum, Erstellt und %Dateityp.\n"
    "Tabulator, CR und LF im Wert erscheinen als \\t, \\r, \\n.\n"
    "\n"
    "Optionen:\n"
    "  --aliases    alle deutschen und englischen Namen bekannter Eigenschaften,\n"
    "               je Zeile NAME<TAB>PROPERTYSET<TAB>KENNUNG\n"
    "  -h, --help   diese Hilfe anzeigen\n"
    "  --version    Programmversion anzeigen\n"
    "  --           Ende der Optionen: danach darf DATEI mit - beginnen\n"
    "\n"
    "Rückgabewert: 0 Dokument gelesen, 1 Dokument oder ein NAME nicht lesbar,\n"
    "2 falscher Aufruf (unbekannte Option, keine DATEI).\n";

// One line per value, so that the output stays a table for other tools.
// Backslashes stay as they are: values are often Windows paths.
QString Escaped(QString text) {
  text.replace(u'\t', QStringLiteral("\\t"));
  text.replace(u'\r', QStringLiteral("\\r"));
  text.replace(u'\n', QStringLiteral("\\n"));
  return text;
}

void Print(std::FILE* to, const QString& line) {
  const QByteArray bytes = (line + u'\n').toUtf8();
  std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}


// Properties without a name and without a text form (a thumbnail, the
// heading-pair vectors) tell someone writing a mapping nothing: no name
// could reach them and no cell would show them.
void List(const FilePropertySets& sets, std::FILE* out) {
  for (int i = 0; i < sets.Count(); ++i) {
    const FilePropertySet& set = *sets.Item(i);
    Print(out, QStringLiteral("[%1] %2").arg(i).arg(set.Name()));
    for (const FileProperty& p : set.Properties()) {
      const QString value = ValueText(p.Value()).value_or(QString());
      const QString name = set.PropertyName(p);
      if (name.isEmpty() && value.isEmpty()) continue;
      Print(out, QStringLiteral("  %1\t%2\t%3").arg(p.id).arg(Escaped(name), Escaped(value)));
    }
  }
}

}  // namespace

int RunPropsTool(const QStringList& commandLine, std::FILE* out, std::FILE* err) {
  const ProgramArguments parsed =
      ParseProgramArguments(commandLine, kProgram, kUsage, {QString::fromLatin1(kAliases)}, -1);
  if (parsed.exitStatus) return *parsed.exitStatus;
  const QStringList& args = parsed.operands;
  if (parsed.switches.contains(QLatin1String(kAliases))) {
    if (!args.isEmpty()) {
      Complain(kProgram, QStringLiteral("--aliases liest keine DATEI (Hilfe mit --help)"), err);
      return kUsageErrorStatus;
    }
    for (const PropertyAlias& a : PropertyAliases()) Print(out, a.name + u'\t' + a.set + u'\t' + QString::number(a.id));
    return 0;
  }
  if (args.isEmpty()) {
    Complain(kProgram, QStringLiteral("keine DATEI angegeben (Hilfe mit --help)"), err);
    return kUsageErrorStatus;
  }
  const QString& file = args[0];
  // One parse for the listing and every name asked for.
  DocumentParse parse = ParseDocument(file);
  const ReadStatus status = parse.status;
  const bool readable = status == ReadStatus::ok && parse.sets && parse.sets->Count() > 0;
  if (!readable)
    Complain(kProgram, QStringLiteral("FEHLER beim Lesen der Propertysets von ") + file + QStringLiteral(": ") +
                      StatusDescription(status), err);
  if (args.size() == 1) {
    if (readable) List(*parse.sets, out);
    return readable ? 0 : 1;
  }
  bool failed = !readable;
  // The tool writes no run log: a read error is said on stderr above.
  RunLog quiet;
  RowDocument document(file, std::move(parse));
  for (qsizetype i = 1; i < args.size(); ++i) {
    QString problem;
    const std::optional<CellValue> special = SpecialNameValue(file, args[i], problem);
    const QString value = special ? special->text : document.ReadDocumentProperty(quiet, args[i]).text;
    if (!problem.isEmpty()) {
      Complain(kProgram, problem, err);
      failed = true;
    }
    Print(out, Escaped(args[i]) + u'\t' + Escaped(value));
  }
  return failed ? 1 : 0;
}

}  // namespace tbx
