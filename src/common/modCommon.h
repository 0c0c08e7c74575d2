#pragma once
// Common services of a run: configuration access (ReadIniValue, ReadIniKeys,
// IsYes, WithTrailingBackslash), the run log (LogMessage), the directory scan
// (CollectFiles), text and path helpers (PathPart, PathExists, MatchFormat,
// TitleAndVersion, ArrayLastOffset) and the folder chooser (ChooseFolder).
#include "common/Config.h"
#include "common/DirectoryScan.h"
#include "common/FolderChooser.h"
#include "common/PathHelpers.h"
#include "common/RunLog.h"
