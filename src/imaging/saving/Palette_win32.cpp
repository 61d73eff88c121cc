#include "imaging/saving/ColourConvert.h"
#include "imaging/picture/GdiHandles_win32.h"

namespace zumorika {

// The system's own general-purpose palette, so the 8-bit file looks as other
// Windows programs would reduce it.
std::array<RgbQuad, 256> HalftonePalette() {
  WindowDc screen(nullptr);
  UniqueHpalette palette(CreateHalftonePalette(screen.get()));
  if (!palette) RaiseSystemError(GetLastError());
  PALETTEENTRY entries[256] = {};
  const UINT count = GetPaletteEntries(palette.get(), 0, 256, entries);
  std::array<RgbQuad, 256> table{};
  // A shorter palette leaves black entries behind it; the nearest-colour
  // rule takes the first black, so the padding is never chosen over it.
  for (UINT i = 0; i < count && i < 256; ++i) {
    table[i] = MakeRgbQuad(entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
  }
  return table;
}

}  // namespace zumorika
