// The clipboard of builds without Windows: an in-memory list of offered
// formats, in order, with raster data for CF_BITMAP. Metafiles exist only on
// Windows, so a metafile format offered here cannot be fetched.
#pragma once

#ifndef _WIN32

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/WorkingImage.h"

namespace zumorika {

struct StandInOffer {
  uint32_t format = 0;
  std::shared_ptr<const WorkingImage> bitmap;  // null: the data cannot be fetched
};

// Replaces what the stand-in offers. `openable` false makes every open fail,
// as when another program holds the clipboard.
void SetStandInClipboard(std::vector<StandInOffer> offers, bool openable = true);

// How many opens are outstanding; 0 whenever no operation is running.
int StandInClipboardOpenCount();

}  // namespace zumorika

#endif
