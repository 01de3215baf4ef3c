// A benchmark's run of a program as a child process: wall clock, CPU and peak memory.
#pragma once

#include <string>
#include <vector>

struct ChildRun {
    double seconds = 0;    // wall clock
    double cpuSeconds = 0; // user + system
    long peakKiB = 0;      // largest resident size
    bool ok = false;       // exited with status 0
};

// Runs `args` (a program, looked up on the path when it names no folder, and its
// arguments) once and waits for it. With `quiet`, its standard output and error are
// discarded.
ChildRun RunChild(const std::vector<std::string> &args, bool quiet = false);
