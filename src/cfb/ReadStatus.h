#pragma once
// What went wrong while reading a document's compound file or property sets.
// Each status names the defect; one function turns it into the German
// description that ends up in the run log.
#include <QString>

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

// The status as a German sentence for the run log ("" for ok).
QString StatusDescription(ReadStatus status);

// Name of the status as spelled above, for test output and the fuzz replay.
const char* StatusName(ReadStatus status);

}  // namespace tbx
