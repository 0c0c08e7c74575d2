#pragma once
// The seam to the operating system and outside services. Nothing else in
// src/ calls the system directly, so a port changes only this folder, and
// tests replace single calls here to inject failures (EACCES, ENOSPC, ...).
//
// Public operations:
//   FileSystem.h       listing, first-match lookup, rename, append, bounded
//                      read, file identity and creation date (errno results)
//   FileSink.h         SaveFileReplacing: temporary file, then rename
//   FileByteSource.h   a document file opened for the format readers
//   DesktopViewer.h    OpenWithDesktop: the default application for a file
//   IniFile.h          the profile reader with the Windows rules
//   Clock.h            Now(), pinned by tests
//   ProgramInfo.h      title, version, program folder
//   PathSeparator.h    the platform's folder separator
//   Threads.h          how many threads read files, and how helpers yield
//   SystemErrors.h     errno to classic number and German reason
//   RunError.h         the run-time error every failing call throws
//   DatabaseConnection.h, RecordSet.h, DatabaseConnectionText.h
//                      QtSql: read-only connections and fetched record sets
#include "platform/Clock.h"
#include "platform/DatabaseConnection.h"
#include "platform/DesktopViewer.h"
#include "platform/FileByteSource.h"
#include "platform/FileSink.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/PathSeparator.h"
#include "platform/ProgramInfo.h"
#include "platform/RunError.h"
#include "platform/SystemErrors.h"
#include "platform/Threads.h"
