#pragma once
// The chief header of ui/: the desktop program's windows and dialogs on Qt
// Widgets, the only folder besides platform/ that talks to a windowing
// system.
//
// Public operations:
//   frmProgress, QtProgressView   the progress window and the run's view of it
//   ProgressBarBox, ElidedLabel   its bar (filled or busy) and its one-line labels
//   frmInfo::ShowModal            the program's own message dialog
//   QtDialogs                     message box, folder and save dialogs, frmInfo
//   InterruptWatch                a termination request: the run stops and saves
//   LoadPicture, ProgramIcon      the pictures and the icon (Artwork.h)
//   TwipScale                     window layouts in twips (Twips.h)
#include "ui/Artwork.h"
#include "ui/InterruptWatch.h"
#include "ui/QtDialogs.h"
#include "ui/QtProgressView.h"
#include "ui/Twips.h"
#include "ui/frmInfo.h"
#include "ui/ProgressControls.h"
#include "ui/frmProgress.h"
