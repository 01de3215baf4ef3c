// A print job's pages drawn into one PDF file through the PDF surface.
#pragma once

#include "document.h"

#include "draw/shapedtext.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class PrintJob;
struct DrawingView;

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
    // How many pages are drawn at once, each on a thread of its own; 1 draws them one
    // after the other on the calling thread. The file's bytes, the error list, the notes
    // and the trace are the same whatever the number.
    int threads = 1;
};

// The number of processors: as many pages at once as the machine can draw.
int DefaultPdfThreads();

enum class PdfJobEnd {
    Complete, // every page written and the file finished
    Stopped,  // the job's stop hook or `step` stopped it: the output is incomplete
    Failed,   // the output could not be written
};

// Renders the job's pages `pages` in their order (the job prepared and begun, on `view`,
// the job's view) into a PDF written to `sink`; the pages' errors go into the view's error
// list in that order. The job's stop hook is asked on the calling thread only. Anything
// but Complete leaves the output unusable, to be thrown away.
PdfJobEnd WritePdfPages(PrintJob &job, DrawingView &view, const std::vector<int> &pages,
                        pdf::Sink &sink, const pdf::DocumentInfo &info, const PdfJobHooks &hooks);
