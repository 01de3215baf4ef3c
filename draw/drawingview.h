// The view state as the drawing commands need it: the interpreter's, plus the pictures.
#pragma once

#include "engine/viewstate.h"

#include "image/clipimage.h"
#include "image/fileimage.h"

#include <map>
#include <memory>
#include <string>

// The desktop program's view owns one, so does zentova-print; the interpreter sees only
// its ViewState part, the drawing commands reach the pictures through their page's
// PageDrawing.
struct DrawingView : ViewState {
    // Pictures decoded during the current job, by their path as the command file gave it
    // after macro expansion (compared byte for byte). Emptied when the job ends.
    std::map<std::string, std::unique_ptr<FileImage>, std::less<>> imageCache;
    // The ten clipboard slots; they last for the whole run of the program.
    ClipImageStore clipSlots;
};
