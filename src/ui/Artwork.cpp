#include "ui/Artwork.h"

#include <QString>

// The resources live in a static library: without a reference from code the
// linker would drop their registration, so it is pulled in explicitly. The
// function stays outside every namespace, where the macro's declaration of the
// generated registration function must be.
static void RegisterResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(tabellix);
    return true;
  }();
  Q_UNUSED(done);
}

namespace tbx {

QPixmap LoadPicture(Picture picture) {
  RegisterResources();
  const char* name = "banner";
  switch (picture) {
    case Picture::Banner: name = "banner"; break;
    case Picture::LogoA: name = "logo-a"; break;
    case Picture::LogoB: name = "logo-b"; break;
    case Picture::LogoC: name = "logo-c"; break;
    case Picture::ColourStrip: name = "colour-strip"; break;
    case Picture::Error: name = "error"; break;
    case Picture::Information: name = "information"; break;
  }
  return QPixmap(QStringLiteral(":/tabellix/%1.png").arg(QLatin1String(name)));
}

QIcon ProgramIcon() {
  RegisterResources();
  QIcon icon;
  for (int size : {16, 32, 48}) icon.addFile(QStringLiteral(":/tabellix/icon-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace tbx
