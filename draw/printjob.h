// The steps of a print or preview job, shared by the desktop program and zentova-print.
#pragma once

#include "engine/pageindex.h"

#include <string>
#include <string_view>
#include <vector>

class CCommandEngine;
class DataFile;
class MarkRecorder;
class Surface;
struct DrawingView;

// Drives the interpreter through one job: prepare (the page index of the text, preview
// flag, the document's folder), begin (paper, empty error list), one fresh engine per
// rendered page, end. Errors are recorded only the first time a page number is rendered,
// in whatever order a preview shows its pages. A job whose view has a stop hook
// (ViewState::stopRequested) can be stopped inside a page.
//
// Merge printing: given records of a data file, the job runs the whole document once per
// record, one copy after the other, and its pages are numbered across every copy. Before
// every page of a copy, after the document's initialisation lines, each named column's
// field of its record is defined as that abbreviation, and errors name the record.
class PrintJob {
public:
    explicit PrintJob(DrawingView &view) : m_view(view) {}

    // Merge printing of records `first` to `last` (1-based, `last` 0 = through the last
    // record) of `data`, which must outlive the job; null prints the document once. Call
    // before Prepare.
    void SetRecords(const DataFile *data, int first = 1, int last = 0);

    // Takes the command text of the job (code page 932) and indexes its pages once;
    // returns the number of pages of the job: the pages of the text, times the copies.
    // `documentPath` is the command file's path in the file system's encoding ("" for a
    // document without a file); its folder becomes the base folder.
    int Prepare(std::string text, bool previewing, std::string_view documentPath);
    // The text the job was prepared with, and its page index.
    std::string_view text() const { return m_index.text(); }
    const PageIndex &index() const { return m_index; }

    // After Prepare: the pages of one copy of the document.
    int PagesPerCopy() const { return m_pagesPerCopy; }
    // The job's pages that show pages `first` to `last` of every copy, in order (`last`
    // 0 or beyond the pages of a copy means its last page).
    std::vector<int> PagesOfEachCopy(int first, int last) const;

    // The paper of the job in 0.1 mm; clears the error list and the rendered-page marks.
    void Begin(int paperWidth, int paperHeight);

    // Paper length in 0.1 mm from a length in device dots at `dotsPerInch`, rounded.
    static int PaperFromDots(int dots, int dotsPerInch);

    // Renders page `page` of the job (with records, numbered across every copy) on
    // `surface`. Once the view's stop hook has stopped the job, renders nothing. With
    // `marks`, the page draws through it, which notes every mark and the line that drew it.
    void PrintPage(Surface &surface, int page, MarkRecorder *marks = nullptr);

    // For a job that renders its pages on several threads, each thread with a view of its
    // own (its error list, pictures and stop hook). FirstRendering marks page `page` as
    // rendered and says whether this is its first rendering, which records its errors;
    // the job's own thread asks it for the pages in the order PrintPage would render them.
    // RunPage then renders the page in `view` on `surface`, and may be called from any
    // thread at once, each with its own view and surface (and `marks`, as PrintPage).
    bool FirstRendering(int page);
    void RunPage(DrawingView &view, Surface &surface, int page, bool recordErrors,
                 MarkRecorder *marks = nullptr) const;

    // True when the view's stop hook stopped the job (the stop lasts until Begin).
    bool Stopped() const;
    // Lets the job run again after a stop: for a preview that renders its pages anew.
    void ClearStop();

    // Ends the job: the pictures decoded for it are freed. True when it recorded errors.
    bool End();

private:
    void bindRecord(CCommandEngine &engine, int copy) const;

    DrawingView &m_view;
    PageIndex m_index;
    std::vector<bool> m_rendered; // by page number: the page has recorded its errors
    const DataFile *m_data = nullptr;
    int m_firstRecord = 1;
    int m_lastRecord = 0;
    int m_pagesPerCopy = 0;
    int m_copies = 1;
};
