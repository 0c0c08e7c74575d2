#include "common/FolderChooser.h"

#include "common/Config.h"
#include "interaction/Dialogs.h"

namespace tbx {

QString ChooseFolder(Dialogs& dialogs, quint32 owner, const QString& prompt, const QString& startFolder) {
  (void)owner;  // the dialogs in force know their parent window
  return WithTrailingBackslash(dialogs.BrowseForFolder(prompt, startFolder));
}

}  // namespace tbx
