// The clipboard, read only. Both operations raise AppError with the host
// user's Japanese message when the clipboard cannot be used.
#pragma once

#include "imaging/picture/Picture.h"

namespace zumorika {

// True when the clipboard offers at least one supported picture format.
bool ClipboardHasPicture();

// Replaces the picture by the first supported format the clipboard offers.
// On failure the picture is left unchanged and AppError is raised.
void LoadClipboardPicture(TPicture& picture);

}  // namespace zumorika
