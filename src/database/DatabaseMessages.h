#pragma once
// The one way database mode talks to the user: the program's message dialog
// (frmInfo) with its OK button alone. The critical style is passed as it
// always was, but the OK set shows the program's banner, not the error picture.
#include <QString>

#include "interaction/Dialogs.h"

namespace tbx {

inline void ShowDatabaseMessage(Dialogs& dialogs, const QString& message, const QString& caption) {
  dialogs.ShowInfo(message, kInfoOkCritical, caption, kPictureCritical);
}

}  // namespace tbx
