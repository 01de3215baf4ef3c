// A print job's pages drawn into one PDF file.
#include "pdfjob.h"

#include "pdfsurface.h"

#include "draw/printjob.h"
#include "draw/tracesurface.h"

#include <optional>
#include <set>

PdfJobEnd WritePdfPages(PrintJob &job, int first, int last, pdf::Sink &sink,
                        const pdf::DocumentInfo &info, const PdfJobHooks &hooks)
{
    const int total = std::max(0, last - first + 1);
    auto proceed = [&](int done) { return !hooks.step || hooks.step(done, total); };
    pdf::Document document(sink, info);
    const std::unique_ptr<TextShaper> shaper = hooks.makeShaper();
    PdfSurface surface(document.Fonts(), *shaper);
    std::optional<TraceSurface> trace;
    Surface &target = hooks.trace ? trace.emplace(surface, *hooks.trace) : static_cast<Surface &>(surface);
    std::set<std::string> noted;
    if (!proceed(0))
        return PdfJobEnd::Stopped;
    for (int page = first; page <= last; ++page) {
        job.PrintPage(target, page);
        if (job.Stopped())
            return PdfJobEnd::Stopped;
        PdfPage drawn = surface.TakePage();
        document.AddPage(*drawn.page);
        for (const std::string &note : drawn.notes)
            if (noted.insert(note).second && hooks.note)
                hooks.note(note);
        if (!proceed(page - first + 1) && page < last)
            return PdfJobEnd::Stopped;
    }
    return document.Finish() ? PdfJobEnd::Failed : PdfJobEnd::Complete;
}
