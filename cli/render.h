// Running a command file through a print job onto PDF, PNG, a check or a trace.
#pragma once

struct Options;

// Renders the command file of `options`; prints the error list on standard error.
// Returns the exit status: 0 no interpreter errors, 1 errors, 2 a file problem.
int RenderCommandFile(const Options &options);
