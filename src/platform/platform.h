#pragma once
// The seam to the operating system and outside services: system calls only,
// one small interface per concern. The POSIX implementation lives in
// posix/, the Windows one in win32/, beside each other behind the same
// headers; nothing else in src/ calls the system directly, and nothing here
// knows the layers above it (only the leaf library text/). Tests make single
// file-system calls fail here (EACCES, ENOSPC, ...).
//
// Public operations:
//   FileSystem.h          listing, what a path is, rename without replacing, remove,
//                         lock file, append file, bounded read, file identity,
//                         creation date (errno results); InjectFileSystemErrorForTests
//   FileChangeWatch.h     whether a file may have changed, told by the system
//   FileSink.h            the calls of a safe save: create, write, sync, replace
//   ReadOnlyFile.h        a file opened for positioned reads (the document readers)
//   UserFolders.h         configuration, state and documents folders, the executable's folder
//   Process.h             program arguments, standard streams, interrupts
//   Threads.h             how helper threads yield
//   Clock.h               Now(), pinned by tests
//   DesktopViewer.h       OpenWithDesktop: the default application for a file
//   PathSeparator.h       the platform's folder separator
//   DatabaseConnection.h  QtSql: read-only connections and their first records
#include "platform/Clock.h"
#include "platform/DatabaseConnection.h"
#include "platform/DesktopViewer.h"
#include "platform/FileChangeWatch.h"
#include "platform/FileSink.h"
#include "platform/FileSystem.h"
#include "platform/PathSeparator.h"
#include "platform/Process.h"
#include "platform/ReadOnlyFile.h"
#include "platform/Threads.h"
#include "platform/UserFolders.h"
