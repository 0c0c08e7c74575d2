#include "cfb/ReadStatus.h"

namespace tbx {
namespace {

struct StatusText {
  ReadStatus status;
  const char* name;
  const char* german;
};

// Users read these lines in the run log when a document is skipped, so each
// says what is wrong with the file in words, not in format terms.
constexpr StatusText kTexts[] = {
    {ReadStatus::ok, "ok", ""},
    {ReadStatus::file_not_found, "file_not_found", "Die Datei existiert nicht"},
    {ReadStatus::access_denied, "access_denied", "Der Zugriff auf die Datei wurde verweigert"},
    {ReadStatus::is_a_folder, "is_a_folder", "Der Pfad bezeichnet einen Ordner, keine Datei"},
    {ReadStatus::cannot_open, "cannot_open", "Die Datei kann nicht geöffnet werden"},
    {ReadStatus::read_failed, "read_failed", "Die Datei kann nicht gelesen werden"},
    {ReadStatus::empty_file, "empty_file", "Die Datei ist leer"},
    {ReadStatus::truncated, "truncated", "Die Datei ist verkürzt"},
    {ReadStatus::not_compound_file, "not_compound_file", "Die Datei ist keine Verbunddatei"},
    {ReadStatus::unsupported_version, "unsupported_version", "Die Verbunddatei hat eine unbekannte Version"},
    {ReadStatus::bad_byte_order, "bad_byte_order", "Die Verbunddatei gibt eine ungültige Bytereihenfolge an"},
    {ReadStatus::bad_sector_shift, "bad_sector_shift", "Die Verbunddatei gibt eine ungültige Sektorgröße an"},
    {ReadStatus::bad_mini_stream_header, "bad_mini_stream_header",
     "Die Verbunddatei gibt eine ungültige Größe für kleine Streams an"},
    {ReadStatus::absurd_sector_count, "absurd_sector_count",
     "Die Verbunddatei gibt mehr Sektoren an, als die Datei enthält"},
    {ReadStatus::sector_chain_loop, "sector_chain_loop", "Eine Sektorkette der Verbunddatei läuft im Kreis"},
    {ReadStatus::sector_out_of_range, "sector_out_of_range",
     "Eine Sektorkette der Verbunddatei zeigt aus der Datei hinaus"},
    {ReadStatus::chain_too_short, "chain_too_short", "Eine Sektorkette der Verbunddatei endet zu früh"},
    {ReadStatus::bad_directory_entry, "bad_directory_entry", "Ein Verzeichniseintrag der Verbunddatei ist ungültig"},
    {ReadStatus::directory_cycle, "directory_cycle", "Das Verzeichnis der Verbunddatei enthält einen Zyklus"},
    {ReadStatus::stream_beyond_eof, "stream_beyond_eof",
     "Ein Stream der Verbunddatei ist größer, als die Datei Platz bietet"},
    {ReadStatus::stream_not_found, "stream_not_found", "Ein Stream fehlt in der Verbunddatei"},
    {ReadStatus::property_set_header, "property_set_header", "Der Kopf eines Propertysets ist ungültig"},
    {ReadStatus::section_beyond_stream, "section_beyond_stream",
     "Ein Abschnitt eines Propertysets reicht über das Streamende hinaus"},
    {ReadStatus::property_beyond_section, "property_beyond_section", "Ein Property liegt außerhalb seines Abschnitts"},
    {ReadStatus::string_beyond_section, "string_beyond_section",
     "Ein Wert reicht über das Ende seines Abschnitts hinaus"},
    {ReadStatus::absurd_property_count, "absurd_property_count",
     "Ein Propertyset gibt mehr Einträge an, als es enthalten kann"},
    {ReadStatus::unknown_value_type, "unknown_value_type", "Ein Property hat einen unbekannten Werttyp"},
    {ReadStatus::too_many_property_sets, "too_many_property_sets", "Die Datei enthält zu viele Propertysets"},
    {ReadStatus::property_sets_beyond_file, "property_sets_beyond_file",
     "Die Propertysets der Datei sind größer, als die Datei Platz bietet"},
    {ReadStatus::out_of_memory, "out_of_memory", "Nicht genügend Arbeitsspeicher"},
};

const StatusText& Lookup(ReadStatus status) {
  for (const StatusText& t : kTexts)
    if (t.status == status) return t;
  return kTexts[0];
}

}  // namespace

QString StatusDescription(ReadStatus status) { return QString::fromUtf8(Lookup(status).german); }

const char* StatusName(ReadStatus status) { return Lookup(status).name; }

}  // namespace tbx
