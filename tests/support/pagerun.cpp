// Page runs for the tests.
#include "pagerun.h"

#include "engine/codepage.h"
#include "engine/textlines.h"

namespace {

std::string withoutCarriageReturns(std::string s)
{
    std::string out;
    for (char c : s)
        if (c != '\r')
            out += c;
    return out;
}

} // namespace

std::string CommandFile(const std::string &utf8Text)
{
    return NormalizeLineEnds(cp932::FromUtf8(utf8Text));
}

PageRun::PageRun(const std::string &utf8Text, int page, const Profile *profile, bool raw)
{
    view.profile = profile;
    const std::string text = raw ? utf8Text : CommandFile(utf8Text);
    engine = std::make_unique<CCommandEngine>(view);
    engine->recordErrors = true;
    engine->RunPage(surface, PageIndex(text), page);
}

PageRun::PageRun(const std::string &utf8Text, const std::function<void(ViewState &)> &setup)
{
    setup(view);
    engine = std::make_unique<CCommandEngine>(view);
    engine->recordErrors = true;
    engine->RunPage(surface, PageIndex(CommandFile(utf8Text)), 1);
}

std::string PageRun::errors() const
{
    return withoutCarriageReturns(cp932::ToUtf8(view.errorText.str()));
}

std::string RunJob(const std::string &cp932Text, std::string *errors)
{
    ViewState view;
    NullSurface fake;
    std::ostringstream out;
    TraceSurface surface(fake, out);
    PrintJob job(view);
    int pages = job.Prepare(cp932Text, false, "");
    job.Begin(2100, 2970);
    for (int page = 1; page <= pages; ++page)
        job.PrintPage(surface, page);
    job.End();
    if (errors)
        *errors = withoutCarriageReturns(cp932::ToUtf8(view.errorText.str()));
    return out.str();
}
