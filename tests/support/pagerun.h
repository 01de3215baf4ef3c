// Runs command text through the interpreter on the fake-metrics surface, with a trace.
#pragma once

#include "draw/nullsurface.h"

#include "draw/printjob.h"
#include "draw/tracesurface.h"
#include "engine/engine.h"
#include "engine/viewstate.h"

#include <functional>
#include <memory>
#include <sstream>
#include <string>

// A fixed print-position adjustment, as if read from the stored settings.
class FixedProfile : public Profile {
public:
    FixedProfile(int x, int y) : m_x(x), m_y(y) {}
    int ReadInt(std::string_view name, int defaultValue) const override
    {
        return name == "adjustX" ? m_x : name == "adjustY" ? m_y : defaultValue;
    }

private:
    int m_x, m_y;
};

// One page run kept for inspection: the engine's fields after the run, the trace of every
// drawing operation and the error list, both in UTF-8 with LF line ends.
struct PageRun {
    // `utf8Text` is converted to code page 932 and given CR LF line ends unless `raw`.
    explicit PageRun(const std::string &utf8Text, int page = 1, const Profile *profile = nullptr,
                     bool raw = false);
    // The same, with the view prepared by `setup` first (folders, slots, pictures).
    PageRun(const std::string &utf8Text, const std::function<void(ViewState &)> &setup);

    std::string trace() const { return out.str(); }
    std::string errors() const;

    ViewState view;
    NullSurface fake;
    std::ostringstream out;
    TraceSurface surface{fake, out};
    std::unique_ptr<CCommandEngine> engine;
};

// The text as a command file holds it: code page 932 with CR LF line ends.
std::string CommandFile(const std::string &utf8Text);

// The trace and error list of every page of a job over the text.
std::string RunJob(const std::string &cp932Text, std::string *errors);
