// Page runs of the interpreter alone.
#include "enginerun.h"

#include "engine/codepage.h"
#include "engine/expression.h"
#include "engine/textlines.h"

#include <algorithm>

std::string CommandFile(const std::string &utf8Text)
{
    return NormalizeLineEnds(cp932::FromUtf8(utf8Text));
}

std::string ErrorList(const ViewState &view)
{
    std::string out = cp932::ToUtf8(view.errorText.str());
    std::erase(out, '\r');
    return out;
}

EngineRun::EngineRun(const std::string &utf8Text, int page, const Profile *profile)
{
    view.profile = profile;
    engine = std::make_unique<CCommandEngine>(view);
    engine->recordErrors = true;
    engine->RunPage(PageIndex(CommandFile(utf8Text)), page);
}

int EngineRun::var(const char *name) const
{
    return engine->variables[static_cast<std::size_t>(VariableIndex(name))];
}
