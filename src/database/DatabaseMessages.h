#pragma once
// The one way database mode talks to the user: the program's message dialog
// (frmInfo) with only its OK button and the error picture.
#include <QString>

#include "interaction/Dialogs.h"

namespace tbx {

inline constexpr int kDatabaseMessageButtons = 16;
inline constexpr int kDatabaseMessageStyle = 16;

inline void ShowDatabaseMessage(const QString& message, const QString& caption) {
  TheDialogs().ShowInfo(message, kDatabaseMessageButtons, caption, kDatabaseMessageStyle);
}

}  // namespace tbx
