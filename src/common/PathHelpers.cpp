#include "common/PathHelpers.h"

#include "platform/ProgramInfo.h"

namespace tbx {

QString TitleAndVersion() {
  return QStringLiteral("%1 %2.%3.%4")
      .arg(QString::fromLatin1(kProgramTitle))
      .arg(VersionMajor())
      .arg(VersionMinor())
      .arg(VersionRevision());
}

}  // namespace tbx
