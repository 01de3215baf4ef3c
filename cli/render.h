// Running a command file through a print job onto PDF, PNG, a check or a trace.
#pragma once

#include <functional>
#include <string>

struct Options;

// Renders the command file of `options`; prints its errors on standard error in the
// chosen format. `onFileLookedUp` hears the absolute path of every file the job calls or
// draws, found or not. Returns the exit status: 0 no interpreter errors, 1 errors, 2 a
// file problem, or JobStop's status for a stopped job.
int RenderCommandFile(const Options &options,
                      const std::function<void(const std::string &)> &onFileLookedUp = {});
