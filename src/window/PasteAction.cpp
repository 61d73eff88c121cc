#include "window/PasteAction.h"

#include <cmath>
#include <set>

#include "exchange/JwwGaibu.h"
#include "util/MyFunc.h"
#include "window/ControlIds.h"
#include "window/WindowTexts.h"

namespace zumorika {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kLastImageNumber = 99999;

}  // namespace

std::optional<PasteRefusal> CheckPasteInput(const WindowSettings& settings,
                                            const std::string& drawingFileName,
                                            const PictureInfo& picture, PasteHost& host) {
  // The folder is checked whatever FolderMode says: a typing mistake is
  // reported even while the drawing's folder is selected.
  if (!settings.SaveFolder.empty() && !host.FolderExists(settings.SaveFolder))
    return PasteRefusal{kMsgFolderNotFound, kIdEdit1};
  if (settings.SaveFolder.empty() && settings.FolderMode == 1)
    return PasteRefusal{kMsgChooseFolder, kIdEdit1};
  // Written so that NaN fails too.
  if (!(settings.WidthMm > 0.0 && settings.WidthMm < 1000000.0))
    return PasteRefusal{kMsgCheckSize, kIdEdit3};
  if (drawingFileName.empty() && settings.FolderMode == 0)
    return PasteRefusal{kMsgUntitled, kIdRadioButton1};
  if (!picture.HasPicture || picture.Width <= 0 || picture.Height <= 0)
    return PasteRefusal{kMsgNoPicture, 0};
  return std::nullopt;
}

int32_t ClampJpegQuality(int32_t quality) {
  if (quality < 1) return 1;
  if (quality > 100) return 100;
  return quality;
}

ImageFileName MakeImageFileName(const WindowSettings& settings,
                                const std::string& drawingFileName,
                                const std::function<bool(const std::string&)>& fileExists) {
  std::string base = ExtractFileNamePart(drawingFileName);
  base = ReplaceExtension(base, "");
  if (base.empty()) base = std::string(kUntitledBase);

  // The folder chooser always ends the folder with a separator; a folder
  // typed by hand may not, and "C:\pics" + "a_000.BMP" would land in C:\.
  std::string folder = settings.FolderMode == 1 ? IncludeTrailingSeparator(settings.SaveFolder)
                                                : ExtractFolderPart(drawingFileName);
  const char* extension = settings.FileKind == 0 ? ".BMP" : ".JPG";

  ImageFileName result;
  for (int32_t n = 0; n <= kLastImageNumber; ++n) {
    std::string digits = FormatInt(n);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    std::string name = base + "_" + digits + extension;
    if (!fileExists(folder + name)) {
      result.Found = true;
      result.FullPath = folder + name;
      result.FileName = name;
      return result;
    }
  }
  return result;
}

void BasePointOffset(int32_t basePoint, double w, double h, double& dx, double& dy) {
  dx = 0;
  dy = 0;
  if (basePoint < 0 || basePoint > 8) return;
  switch (basePoint % 3) {
    case 1: dx = -w / 2; break;
    case 2: dx = -w; break;
    default: break;
  }
  switch (basePoint / 3) {
    case 1: dy = -h / 2; break;
    case 2: dy = -h; break;
    default: break;
  }
}

Placement ComputePlacement(const WindowSettings& settings, const std::string& referencePath,
                           const PictureInfo& picture, double hpX, double hpY) {
  Placement p;
  double ratio = static_cast<double>(picture.Height) / static_cast<double>(picture.Width);
  p.W = RoundTo(3, 2, settings.WidthMm);
  p.H = RoundTo(3, 2, p.W * ratio);  // from the rounded width
  p.A = RoundTo(4, 2, settings.AngleDeg);

  p.Reference = "^@BM" + referencePath + "," + FormatReal(p.W) + "," + FormatReal(p.H);
  if (std::fabs(p.A) > 1e-10) p.Reference += ",0,0,1," + FormatReal(p.A);

  double dx, dy;
  BasePointOffset(settings.BasePoint, p.W, p.H, dx, dy);
  double rx, ry;
  RotatePointDeg(rx, ry, dx, dy, 0, 0, p.A);
  p.PX = rx + hpX;
  p.PY = ry + hpY;
  const double radians = kPi * p.A / 180;
  p.DX = 10 * static_cast<double>(ExtendedCos(radians));
  p.DY = 10 * static_cast<double>(ExtendedSin(radians));
  return p;
}

void BufferPlacement(const Placement& placement) {
  const TJwcState& s = JwcState;
  if (s.BzFlag) AddOutLine("bz");
  OutLayerGroup(s.CurLayerGroup);
  OutLayer(s.CurLayer);
  OutLineColor(s.CurLineColor, 0);
  OutLineType(s.CurLineType, 0);
  OutLineWidth(s.CurLineWidth);
  OutTextType(s.CurTextType, s.CurTextColor, 0, s.CurTextWidth, s.CurTextHeight, s.CurTextGap);
  OutTextCc(0);
  OutFontName(s.CurFontName);
  OutText(0, placement.Reference, placement.PX, placement.PY, placement.DX, placement.DY);
}

bool RunPasteAction(WindowSettings& settings, const PictureInfo& picture, PasteHost& host) {
  const std::string drawingFileName = JwcState.DrawingFileName;
  auto refuse = [&](const PasteRefusal& refusal) {
    host.ShowMessage(refusal.Message);
    if (refusal.FocusId != 0) host.FocusControl(refusal.FocusId);
    return false;
  };

  if (auto refusal = CheckPasteInput(settings, drawingFileName, picture, host))
    return refuse(*refusal);
  settings.JpegQuality = ClampJpegQuality(settings.JpegQuality);

  // Name and reference come before anything is written, so that every
  // refusal leaves the settings file, the folder and the buffer untouched.
  // Names found taken at the write count as taken from then on.
  std::set<std::string> takenAtWrite;
  ImageFileName name;
  Placement placement;
  auto chooseName = [&]() -> std::optional<PasteRefusal> {
    name = MakeImageFileName(settings, drawingFileName, [&](const std::string& path) {
      return takenAtWrite.count(path) != 0 || host.FileExists(path);
    });
    if (!name.Found) return PasteRefusal{kMsgNoFreeName, 0};
    double hpX = 0, hpY = 0;
    if (JwcState.HpPoints.size() > 1) {
      hpX = JwcState.HpPoints[1].X;
      hpY = JwcState.HpPoints[1].Y;
    }
    placement = ComputePlacement(
        settings, settings.FolderMode == 1 ? name.FullPath : name.FileName, picture, hpX, hpY);
    // The buffer keeps 255 bytes of a line; a cut reference would point the
    // host at a file that does not exist.
    if (placement.Reference.size() > kMaxReferenceBytes)
      return PasteRefusal{kMsgPathTooLong, kIdEdit1};
    return std::nullopt;
  };
  if (auto refusal = chooseName()) return refuse(*refusal);

  host.SaveSettings(settings);
  host.ShowStatus(kStatusWorking);

  // Puts the idle status back when the save fails or raises, so the label
  // does not claim work that has stopped.
  struct StatusReset {
    PasteHost& host;
    bool armed = true;
    ~StatusReset() {
      if (!armed) return;
      try {
        host.ShowStatus(kStatusIdle);
      } catch (...) {
      }
    }
  } statusReset{host};

  for (;;) {
    const NewFileResult saved = host.SavePicture(name.FullPath, settings);
    if (saved == NewFileResult::Written) break;
    if (saved == NewFileResult::Unfinished) {
      // The file is this run's own, created a moment ago.
      host.RemoveFile(name.FullPath);
      return refuse(PasteRefusal{kMsgSaveFailed, 0});
    }
    if (saved == NewFileResult::NotCreated) return refuse(PasteRefusal{kMsgSaveFailed, 0});
    // Another program (a second Jw_cad running the tool, a sync client)
    // created the name after it was checked: its file stays, and the next
    // free number is tried.
    takenAtWrite.insert(name.FullPath);
    if (auto refusal = chooseName()) return refuse(*refusal);
  }

  BufferPlacement(placement);
  statusReset.armed = false;
  host.ShowStatus(kStatusWriting);
  return true;
}

}  // namespace zumorika
