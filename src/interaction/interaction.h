#pragma once
// How a run talks to its user: the dialogs it shows and the progress view it
// updates, as interfaces. The desktop program installs the Qt windows of
// src/ui/, the batch program the console dialogs and the terminal progress,
// tests scripted fakes; the run takes the installed ones into its run state.
//
// Public operations:
//   Dialogs: MessageBox, BrowseForFolder, SaveFileName, ShowInfo
//   ProgressView: caption, status, bar, tooltip, events, cancel flag,
//                 the scan's and the loop's counts
//   ScanCountText, LoopCountText, LoopPace   the counts and the time left both views show
//   TerminalColumns, ElideMiddle, TerminalWidth   lines that fit the terminal
//   ConsoleDialogs                        stderr, every question at its default
//   TerminalProgress                      the batch program's progress on stderr
//   InstallDialogs, InstallProgress       what the next run starts with
#include "interaction/ConsoleDialogs.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressTexts.h"
#include "interaction/ProgressView.h"
#include "interaction/TerminalLine.h"
#include "interaction/TerminalSize.h"
#include "interaction/TerminalProgress.h"
