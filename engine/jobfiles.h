// The files a job reads through calls and pictures: found on this system, and kept
// inside the folder the job is confined to when it has one.
#pragma once

#include <string>
#include <string_view>

struct ViewState;

// What looking for a called file or a picture found.
struct JobFile {
    enum class Status { Found, Missing, OutsideRoot };
    Status status = Status::Missing;
    std::string path; // the file to open (file-system encoding) when Found

    bool found() const { return status == Status::Found; }
    // The error a call or picture command raises when the file was not found.
    int errorCode() const;
};

// Looks for the file that `cp932Path` (macros already expanded) names, as FindExistingPath
// does. With a root (ViewState::rootFolder) the path must lead into it: it is first
// resolved as far as it exists (symbolic links followed, "." and ".." taken away) and
// refused when that lies outside the root, whether or not the file exists, so that a
// confined job learns nothing about the files around it; the file found is then checked
// again with every link resolved. The view's fileLookedUp hook hears of every path looked
// for inside the root, found or not.
JobFile FindJobFile(const ViewState &view, std::string_view cp932Path);

// The folder `dir` with every link resolved, to confine jobs to; "" when it is no folder.
std::string ResolveRootFolder(const std::string &dir);
