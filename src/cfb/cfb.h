#pragma once
// Compound files ("structured storage", MS-CFB): one file holding a small
// file system of its own. A header names the sector size and where the
// allocation tables and the directory start; every stream is a chain of
// sectors in the file allocation table (FAT), small streams live in 64-byte
// mini sectors of the mini stream, and the directory is a red-black tree of
// 128-byte entries. CAD documents keep their property sets in it, and .xls
// workbooks their "Workbook" stream.
//
// Public operations:
//   CompoundFileReader::Open(ByteSource)   header, allocation tables, directory
//   CompoundFileReader::RootEntries()      the streams and storages of the root
//   CompoundFileReader::ReadStream(...)    one stream, by entry or by name
//   CompoundFileWriter::AddStream(...)     a stream of the root storage
//   CompoundFileWriter::Serialize/WriteTo  the whole file (version 3)
//   ByteCursor                             bounds-checked little-endian reads
//   ShortTable                             a document's short table, on the stack
//   ByteSource, MemoryByteSource           what a reader reads from
//   ReadStatus, StatusDescription(...)     what broke, and its German text
//
// The library knows nothing of runs, configurations or the file system: a
// file on disk comes in as a byte source from docprops/DocumentFile.h.
#include "cfb/ByteCursor.h"
#include "cfb/ByteSource.h"
#include "cfb/CompoundFileReader.h"
#include "cfb/CompoundFileWriter.h"
#include "cfb/ReadStatus.h"
#include "cfb/ShortTable.h"
