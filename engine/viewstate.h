// The state of the view that outlives one page: paper, folders, the job's error list.
#pragma once

#include "errors.h"

#include <functional>
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

// A profile that holds a print-position adjustment of its own and gives the default for
// every other setting: an adjustment given on zentova-print's command line, or one read
// once from the stored settings for jobs that run on other threads (the stored settings
// belong to the thread that reads them).
class FixedAdjustment : public Profile {
public:
    FixedAdjustment(int x = 0, int y = 0) : adjustX(x), adjustY(y) {}
    // The adjustment `from` holds (none for null), read now.
    static FixedAdjustment Of(const Profile *from)
    {
        return from ? FixedAdjustment(from->ReadInt("adjustX", 0), from->ReadInt("adjustY", 0))
                    : FixedAdjustment();
    }
    int ReadInt(std::string_view name, int defaultValue) const override
    {
        if (name == "adjustX")
            return adjustX;
        if (name == "adjustY")
            return adjustY;
        return defaultValue;
    }

    int adjustX, adjustY;
};

// The shared view state that the interpreter reports to. The desktop program's view owns
// one, so does zentova-print, each within the drawing layer's view state, which adds
// the pictures; a print job fills it (PrintJob).
//
// The folders of the path macros are code page 932 text, like the paths of command files
// they are joined to, and end with "/" (or are empty when unknown).
struct ViewState {
    int paperWidth = 2100;   // 0.1 mm, set when a job begins
    int paperHeight = 2970;
    std::string baseFolder;  // the folder %With% stands for
    ErrorText errorText;     // the error list of the current job
    bool previewing = false; // the job is a print preview
    const Profile *profile = nullptr;

    std::string desktopFolder;      // %Desktop%
    std::string documentsFolder;    // %Documents%
    std::string picturesFolder;     // %Pictures%
    std::string programFilesFolder; // %ProgramFiles%: the parent of the program's folder
    std::string programFolder;      // %Zentova%: the executable's folder, with the plug-ins

    // The folder that every called file and picture must lie in (resolved, file-system
    // encoding); "" = anywhere. See FindJobFile.
    std::string rootFolder;
    // Told the absolute path of every called file and picture a job looks for, found or not.
    std::function<void(const std::string &)> fileLookedUp;

    // The screen's size in pixels, which bounds the pictures prepared for a preview.
    long long screenPixelCount = 1920LL * 1080;
    double screenPixelRoot = 1440.0;

    // Asked now and then while a page runs (every few executed lines and drawing
    // repetitions); answering true stops the job: the page ends where it is and no further
    // page runs. Empty: the job always runs to its end.
    std::function<bool()> stopRequested;
    bool stopping = false;  // the job was stopped; cleared when a job begins
    int stopCountdown = 0;  // polls left until stopRequested is asked again
};

// How many polls pass between two questions to stopRequested: small enough that a page
// of slow lines still stops at once, large enough that asking costs nothing.
inline constexpr int kStopPollInterval = 16;

// True once the job has been stopped. Called in every loop whose length a command file
// chooses, so that no file can keep a job from stopping.
inline bool JobStopped(ViewState &view)
{
    if (view.stopping)
        return true;
    if (!view.stopRequested || --view.stopCountdown > 0)
        return false;
    view.stopCountdown = kStopPollInterval;
    view.stopping = view.stopRequested();
    return view.stopping;
}
