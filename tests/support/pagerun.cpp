// Page runs for the tests.
#include "pagerun.h"

#include "engine/expression.h"

PageRun::PageRun(const std::string &utf8Text, int page, const Profile *profile, bool raw)
{
    view.profile = profile;
    run(raw ? utf8Text : CommandFile(utf8Text), page);
}

PageRun::PageRun(const std::string &utf8Text, const std::function<void(DrawingView &)> &setup)
{
    setup(view);
    run(CommandFile(utf8Text), 1);
}

void PageRun::run(const std::string &text, int page)
{
    drawing = std::make_unique<PageDrawing>(surface, view);
    engine = std::make_unique<CCommandEngine>(view, drawing.get());
    engine->recordErrors = true;
    engine->RunPage(PageIndex(text), page);
}

int PageRun::var(const char *name) const
{
    return engine->variables[static_cast<std::size_t>(VariableIndex(name))];
}

std::string RunJob(const std::string &cp932Text, std::string *errors, const DataFile *data,
                   int firstRecord, int lastRecord)
{
    DrawingView view;
    NullSurface fake;
    std::ostringstream out;
    TraceSurface surface(fake, out);
    PrintJob job(view);
    job.SetRecords(data, firstRecord, lastRecord);
    int pages = job.Prepare(cp932Text, false, "");
    job.Begin(2100, 2970);
    for (int page = 1; page <= pages; ++page)
        job.PrintPage(surface, page);
    job.End();
    if (errors)
        *errors = ErrorList(view);
    return out.str();
}
