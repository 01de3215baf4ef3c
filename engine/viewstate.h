// The state of the view that outlives one page: paper, folders, the job's error list.
#pragma once

#include "errors.h"

#include <string>
#include <string_view>

// Where the engine reads the application's stored settings (the print-position
// adjustment). The desktop program and zentova-print each supply one.
class Profile {
public:
    virtual ~Profile() = default;
    // The integer setting `name` of the "Settings" section, or `defaultValue`.
    virtual int ReadInt(std::string_view name, int defaultValue) const = 0;
};

// The shared view state that the interpreter reports to. The desktop program's view owns
// one, so does zentova-print; a print job fills it (PrintJob).
struct ViewState {
    int paperWidth = 2100;   // 0.1 mm, set when a job begins
    int paperHeight = 2970;
    std::string baseFolder;  // the folder %With% stands for, with a trailing separator
    ErrorText errorText;     // the error list of the current job
    bool previewing = false; // the job is a print preview
    const Profile *profile = nullptr;
};
