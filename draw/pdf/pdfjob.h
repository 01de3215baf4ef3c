// A print job's pages drawn into one PDF file through the PDF surface.
#pragma once

#include "document.h"

#include "draw/shapedtext.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>

class PrintJob;

struct PdfJobHooks {
    // A new shaper, for a thread of its own (shapers serve one thread each).
    std::function<std::unique_ptr<TextShaper>()> makeShaper;
    // When set, every drawing operation is written here as the tracing surface writes it.
    std::ostream *trace = nullptr;
    // Called with 0 before the first page and after every page written; returning false
    // stops the job before its next page.
    std::function<bool(int done, int total)> step;
    // Called once for every different note of the PDF surface, in page order.
    std::function<void(const std::string &)> note;
};

enum class PdfJobEnd {
    Complete, // every page written and the file finished
    Stopped,  // the job's stop hook or `step` stopped it: the output is incomplete
    Failed,   // the output could not be written
};

// Renders pages `first` to `last` of the job (prepared and begun) into a PDF written to
// `sink`. Anything but Complete leaves the output unusable, to be thrown away.
PdfJobEnd WritePdfPages(PrintJob &job, int first, int last, pdf::Sink &sink,
                        const pdf::DocumentInfo &info, const PdfJobHooks &hooks);
