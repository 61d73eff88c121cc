// The clipboard of builds without Windows: an in-memory list of offered
// formats, in order, with raster data for CF_BITMAP, a stand-in metafile
// for CF_ENHMETAFILE and CF_METAFILEPICT, bytes for DIBs and registered
// formats, and file paths for CF_HDROP.
#pragma once

#ifndef _WIN32

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/picture/MetafilePicture_posix.h"
#include "imaging/WorkingImage.h"

namespace zumorika {

struct StandInOffer {
  StandInOffer(uint32_t offered, std::shared_ptr<const WorkingImage> raster)
      : format(offered), bitmap(std::move(raster)) {}
  // A DIB or a registered format (named) with its bytes.
  static StandInOffer WithBytes(uint32_t format, std::vector<uint8_t> data,
                                std::string name = std::string());
  static StandInOffer CopiedFiles(std::vector<std::string> paths);
  // CF_ENHMETAFILE, or CF_METAFILEPICT as the system converts it.
  static StandInOffer Metafile(uint32_t format, std::shared_ptr<const StandInMetafile> metafile);

  uint32_t format = 0;
  std::shared_ptr<const WorkingImage> bitmap;  // null: the data cannot be fetched
  std::shared_ptr<const std::vector<uint8_t>> bytes;  // a DIB's or PNG's; null: none
  std::shared_ptr<const StandInMetafile> metafile;    // null: cannot be fetched
  std::string name;                 // a registered format's name
  std::vector<std::string> files;   // CF_HDROP's paths
};

// Replaces what the stand-in offers. `openable` false makes every open fail,
// as when another program holds the clipboard.
void SetStandInClipboard(std::vector<StandInOffer> offers, bool openable = true);

// How many opens are outstanding; 0 whenever no operation is running.
int StandInClipboardOpenCount();

}  // namespace zumorika

#endif
