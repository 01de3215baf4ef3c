// The steps of a print or preview job, shared by the desktop program and zentova-print.
#pragma once

#include "engine/pageindex.h"

#include <string>
#include <string_view>
#include <vector>

class Surface;
struct DrawingView;

// Drives the interpreter through one job: prepare (the page index of the text, preview
// flag, the document's folder), begin (paper, empty error list), one fresh engine per
// rendered page, end. Errors are recorded only the first time a page number is rendered,
// in whatever order a preview shows its pages. A job whose view has a stop hook
// (ViewState::stopRequested) can be stopped inside a page.
class PrintJob {
public:
    explicit PrintJob(DrawingView &view) : m_view(view) {}

    // Takes the command text of the job (code page 932) and indexes its pages once;
    // returns the number of pages. `documentPath` is the command file's path in the file
    // system's encoding ("" for a document without a file); its folder becomes the base
    // folder.
    int Prepare(std::string text, bool previewing, std::string_view documentPath);
    // The text the job was prepared with.
    std::string_view text() const { return m_index.text(); }

    // The paper of the job in 0.1 mm; clears the error list and the rendered-page marks.
    void Begin(int paperWidth, int paperHeight);

    // Paper length in 0.1 mm from a length in device dots at `dotsPerInch`, rounded.
    static int PaperFromDots(int dots, int dotsPerInch);

    // Renders page `page` of the prepared text on `surface`. Once the view's stop hook has
    // stopped the job, renders nothing.
    void PrintPage(Surface &surface, int page);

    // True when the view's stop hook stopped the job (the stop lasts until Begin).
    bool Stopped() const;
    // Lets the job run again after a stop: for a preview that renders its pages anew.
    void ClearStop();

    // Ends the job: the pictures decoded for it are freed. True when it recorded errors.
    bool End();

private:
    DrawingView &m_view;
    PageIndex m_index;
    std::vector<bool> m_rendered; // by page number: the page has recorded its errors
};
