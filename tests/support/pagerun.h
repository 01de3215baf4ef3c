// Runs command text through the interpreter and the drawing commands on the fake-metrics
// surface, with a trace.
#pragma once

#include "enginerun.h"

#include "draw/drawingview.h"
#include "draw/nullsurface.h"
#include "draw/pagedrawing.h"
#include "draw/printjob.h"
#include "draw/tracesurface.h"

#include <functional>
#include <memory>
#include <sstream>
#include <string>

// One page run kept for inspection: the engine's fields after the run, the trace of every
// drawing operation and the error list, both in UTF-8 with LF line ends.
struct PageRun {
    // `utf8Text` is converted to code page 932 and given CR LF line ends unless `raw`.
    explicit PageRun(const std::string &utf8Text, int page = 1, const Profile *profile = nullptr,
                     bool raw = false);
    // The same, with the view prepared by `setup` first (folders, slots, pictures).
    PageRun(const std::string &utf8Text, const std::function<void(DrawingView &)> &setup);

    std::string trace() const { return out.str(); }
    std::string errors() const { return ErrorList(view); }
    int var(const char *name) const;

    DrawingView view;
    NullSurface fake;
    std::ostringstream out;
    TraceSurface surface{fake, out};
    std::unique_ptr<PageDrawing> drawing;
    std::unique_ptr<CCommandEngine> engine;

private:
    void run(const std::string &text, int page);
};

class DataFile;

// The trace and error list of every page of a job over the text; with `data`, of every
// copy of merge printing records `firstRecord` to `lastRecord` (0 = the last).
std::string RunJob(const std::string &cp932Text, std::string *errors,
                   const DataFile *data = nullptr, int firstRecord = 1, int lastRecord = 0);
