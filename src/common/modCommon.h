#pragma once
// The chief header of common/ (named after the classic module). Common
// services of a run: configuration access (ReadIniValue, ReadIniKeys,
// IsYes, WithTrailingBackslash), the run log (LogMessage, LogHold, FlushLog),
// the directory scan (CollectFiles) and the order of a folder's entries
// (SortLikeNtfs), text and path helpers (PathPart, PathExists, MatchFormat,
// TitleAndVersion, ArrayLastOffset), the text forms of values (ValueText,
// GeneralDateText, ...), the folder chooser (ChooseFolder) and the names and
// defaults of every configuration section and key (ConfigKeys.h).
#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/CommandLine.h"
#include "common/ConfigLocation.h"
#include "common/DirectoryScan.h"
#include "common/FolderChooser.h"
#include "common/ListingOrder.h"
#include "common/PathHelpers.h"
#include "common/RunLog.h"
#include "common/TextForm.h"
