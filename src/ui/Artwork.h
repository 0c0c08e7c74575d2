#pragma once
// The pictures of the windows and the program icon, compiled into the program
// from resources/ (drawn by tools/draw-artwork).
#include <QIcon>
#include <QPixmap>

namespace tbx {

enum class Picture {
  Banner,      // 277 x 77: program banner of both windows
  LogoA,       // 191 x 77
  LogoB,       // 184 x 77
  LogoC,       // 191 x 77
  ColourStrip, // 320 x 6, stretched under the banner
  Error,       // 270 x 75
  Information, // 270 x 75
};

QPixmap LoadPicture(Picture picture);

// The program icon with its 16, 32 and 48 pixel images.
QIcon ProgramIcon();

}  // namespace tbx
