#pragma once
// What went wrong while reading a document's compound file or property sets.
// Each status names the defect; one function turns it into the German
// description that ends up in the run log.
#include <QString>
#include <QtGlobal>

namespace tbx {

enum class ReadStatus {
  ok,
  // The file itself.
  file_not_found,
  access_denied,
  is_a_folder,
  cannot_open,
  read_failed,
  empty_file,
  truncated,
  // Compound-file header.
  not_compound_file,
  unsupported_version,
  bad_byte_order,
  bad_sector_shift,
  bad_mini_stream_header,
  absurd_sector_count,
  // Sector chains and allocation tables.
  sector_chain_loop,
  sector_out_of_range,
  chain_too_short,
  // Directory.
  bad_directory_entry,
  directory_cycle,
  stream_beyond_eof,
  stream_not_found,
  // Property-set streams.
  property_set_header,
  section_beyond_stream,
  property_beyond_section,
  string_beyond_section,
  absurd_property_count,
  unknown_value_type,
  too_many_property_sets,
  property_sets_beyond_file,
  out_of_memory,
};

// The outcome of reading a structure: ok, or the defect and the byte offset
// where it was found (in the file for the compound file's structures, in
// the stream for a property set's), for whoever looks into a damaged
// document. Compared with a ReadStatus it compares its defect.
struct [[nodiscard]] ParseStatus {
  ReadStatus defect = ReadStatus::ok;
  quint64 offset = 0;

  constexpr ParseStatus() = default;
  constexpr ParseStatus(ReadStatus d, quint64 at = 0) : defect(d), offset(at) {}  // NOLINT: a defect is a status
  constexpr bool ok() const { return defect == ReadStatus::ok; }
  constexpr operator ReadStatus() const { return defect; }  // NOLINT: where only the defect matters
  friend constexpr bool operator==(const ParseStatus& a, ReadStatus b) { return a.defect == b; }
};

// The status as a German sentence for users: the run log and the inspection
// tool ("" for ok).
QString StatusDescription(ReadStatus status);

// Name of the status as spelled above, for test output.
const char* StatusName(ReadStatus status);

}  // namespace tbx
