#pragma once
// The chief header of run/ (named after the classic main module). Run
// control: the run driver (RunDesktop, RunBatch, DriveRun, ExitStatus),
// the run state every phase shares (RunState, RunOutcome), the start-up
// settings (ReadStartSettings, MaxRangeFromText, PatternFromText), the start
// folder and workbook (SettleTarget, BackupWorkbookName), the error modes
// (IgnoringErrors), the run-time error path (EndWithRunTimeError), the
// column mapping (ReadColumnMapping, ParseMappedColumn, HeaderSwitchOn), the
// workbook output (StartWorkbookOutput, NextWorkbookPart, FinishWorkbookOutput,
// SaveWorkbook, WorkbookPartName), the document loop (ProcessDocuments,
// ProgressPercent), what decides about a row (DocumentSelected,
// ViolatesFormat, RowSettings) and how its values go into their cells, as
// text or typed (PutColumnValue, PutSpecialValue).
#include "run/CellOutput.h"
#include "run/ColumnMapping.h"
#include "run/DocumentLoop.h"
#include "run/ErrorModes.h"
#include "run/RunDriver.h"
#include "run/RunErrorPath.h"
#include "run/RunState.h"
#include "run/RowChecks.h"
#include "run/RunTarget.h"
#include "run/StartSettings.h"
#include "run/WorkbookOutput.h"
