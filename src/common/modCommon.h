#pragma once
// The chief header of common/ (named after the classic module). Common
// services of a run:
//   Config.h, ConfigKeys.h     ReadIniValue, ReadIniKeys, IsYes, WithTrailingBackslash;
//                              every setting with its default (ini::kSettings)
//   Profile.h                  the profile reader with the Windows rules, one snapshot per version
//   ConfigLocation.h           which configuration a program uses
//   CommandLine.h              the programs' shared options
//   RunLog.h                   the run log: LogMessage, holds, Flush
//   RunError.h                 the run-time error and every classic number
//   SystemErrorText.h          errno values as classic numbers and German reasons
//   ProgramInfo.h              title, version, program, log and workbook folders
//   DirectoryScan.h            CollectFiles into a FoundDocuments list; ListingOrder.h: NTFS order
//   WorkerPool.h, ReadAhead.h  the run's helper threads and ordered read-ahead
//   PathHelpers.h, FirstMatch.h  PathPart, PathExists, MatchFormat, TitleAndVersion, ArrayLastOffset
//   ReplaceFile.h              SaveFileReplacing: a save that never damages what was there
//   TextForm.h                 text forms of values (ValueText, GeneralDateText, ...)
//   CellValue.h                a value as a cell takes it: its text and, for numbers and dates, its type
//   PerThread.h                PerThread: a cache value per thread (safe under MinGW too)
//   FolderChooser.h            ChooseFolder
#include "common/CellValue.h"
#include "common/CommandLine.h"
#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/ConfigLocation.h"
#include "common/DirectoryScan.h"
#include "common/FirstMatch.h"
#include "common/FolderChooser.h"
#include "common/FoundDocuments.h"
#include "common/ListingOrder.h"
#include "common/PathHelpers.h"
#include "common/PerThread.h"
#include "common/Profile.h"
#include "common/ProgramInfo.h"
#include "common/ReadAhead.h"
#include "common/ReplaceFile.h"
#include "common/RunError.h"
#include "common/RunLog.h"
#include "common/SystemErrorText.h"
#include "common/TextForm.h"
#include "common/WorkerPool.h"
