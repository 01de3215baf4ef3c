// Runs command text through the interpreter alone: its own commands, nothing drawn.
#pragma once

#include "engine/engine.h"
#include "engine/viewstate.h"

#include <memory>
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

// The text as a command file holds it: code page 932 with CR LF line ends.
std::string CommandFile(const std::string &utf8Text);

// The error list of the view in UTF-8 with LF line ends.
std::string ErrorList(const ViewState &view);

// One page run of the interpreter alone, kept for inspection: a drawing command is an
// unknown command here.
struct EngineRun {
    // `utf8Text` is converted to code page 932 with CR LF line ends.
    explicit EngineRun(const std::string &utf8Text, int page = 1, const Profile *profile = nullptr);

    std::string errors() const { return ErrorList(view); }
    int var(const char *name) const;

    ViewState view;
    std::unique_ptr<CCommandEngine> engine;
};
