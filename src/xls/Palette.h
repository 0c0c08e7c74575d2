#pragma once
// The colours behind the colour indexes 1..56 users pick fills from: the
// default palette of .xls workbooks, which ours never change.
#include <QtGlobal>

namespace tbx::xls {

inline constexpr int kPaletteColours = 56;

// The colour of index 1..56 as 0xRRGGBB (index 6: yellow, 0xFFFF00).
quint32 PaletteRgb(int colourIndex);

}  // namespace tbx::xls
