// The job steps around the page runs.
#include "printjob.h"

#include "markrecorder.h"
#include "pagedrawing.h"
#include "surface.h"

#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/filepaths.h"
#include "engine/variables.h"
#include "merge/datafile.h"

#include <algorithm>

void PrintJob::SetRecords(const DataFile *data, int first, int last)
{
    m_data = data;
    m_firstRecord = std::max(first, 1);
    m_lastRecord = last;
}

int PrintJob::Prepare(std::string text, bool previewing, std::string_view documentPath)
{
    m_view.previewing = previewing;
    // The folder is joined to paths of command files, so it is kept in their encoding.
    m_view.baseFolder = FolderOfPath(cp932::FromUtf8(documentPath));
    m_index = PageIndex(std::move(text));
    m_pagesPerCopy = m_index.pageCount();
    m_copies = 1;
    if (m_data) {
        const int last = m_lastRecord == 0 ? m_data->RecordCount()
                                           : std::min(m_lastRecord, m_data->RecordCount());
        m_copies = std::max(0, last - m_firstRecord + 1);
    }
    return m_pagesPerCopy * m_copies;
}

std::vector<int> PrintJob::PagesOfEachCopy(int first, int last) const
{
    first = std::max(first, 1);
    last = last == 0 ? m_pagesPerCopy : std::min(last, m_pagesPerCopy);
    std::vector<int> pages;
    if (first > last)
        return pages;
    pages.reserve(static_cast<std::size_t>(last - first + 1) * static_cast<std::size_t>(m_copies));
    for (int copy = 0; copy < m_copies; ++copy)
        for (int page = first; page <= last; ++page)
            pages.push_back(copy * m_pagesPerCopy + page);
    return pages;
}

// The record is read again for every page (one row of the file), so that the job keeps
// no state between pages and pages may be rendered in any order.
void PrintJob::bindRecord(CCommandEngine &engine, int copy) const
{
    engine.recordNumber = m_firstRecord + copy - 1;
    std::vector<std::string> fields;
    m_data->ReadRecord(engine.recordNumber, fields);
    const std::vector<DataColumn> &columns = m_data->Columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        // Too long together with the document's own abbreviations: listed as a "}{"
        // line that failed, under the column's name, since no line of the text holds it.
        if (int code = DefineAbbreviation(engine, columns[i].slot, fields[i]))
            AppendError(engine, code, "}{" + columns[i].name + "}", 0);
    }
}

void PrintJob::Begin(int paperWidth, int paperHeight)
{
    m_rendered.clear();
    m_view.errorText.clear();
    ClearStop();
    m_view.paperWidth = paperWidth;
    m_view.paperHeight = paperHeight;
}

int PrintJob::PaperFromDots(int dots, int dotsPerInch)
{
    return static_cast<int>(static_cast<double>(dots) / dotsPerInch * 254 + 0.5);
}

void PrintJob::PrintPage(Surface &target, int page, MarkRecorder *marks)
{
    if (m_view.stopping)
        return;
    const bool first = FirstRendering(page);
    RunPage(m_view, target, page, first, marks);
}

bool PrintJob::FirstRendering(int page)
{
    if (page <= 0)
        return false;
    const auto index = static_cast<std::size_t>(page);
    if (index >= m_rendered.size())
        m_rendered.resize(index + 1);
    const bool first = !m_rendered[index];
    m_rendered[index] = true;
    return first;
}

void PrintJob::RunPage(DrawingView &view, Surface &target, int page, bool recordErrors,
                       MarkRecorder *marks) const
{
    Surface &surface = marks ? static_cast<Surface &>(*marks) : target;
    PageDrawing drawing(surface, view);
    CCommandEngine engine(view, &drawing);
    if (marks)
        marks->Attach(target, engine);
    surface.StartPage(page, view.paperWidth, view.paperHeight);
    engine.recordErrors = recordErrors;
    if (!m_data || m_pagesPerCopy < 1 || page < 1) {
        engine.RunPage(m_index, page);
        return;
    }
    const int copy = (page - 1) / m_pagesPerCopy + 1;
    if (copy > m_copies)
        return;
    engine.afterInitialisation = [this, copy](CCommandEngine &e) { bindRecord(e, copy); };
    engine.RunPage(m_index, (page - 1) % m_pagesPerCopy + 1);
}

bool PrintJob::Stopped() const
{
    return m_view.stopping;
}

void PrintJob::ClearStop()
{
    m_view.stopping = false;
    m_view.stopCountdown = 0;
}

bool PrintJob::End()
{
    m_view.imageCache.clear();
    return !m_view.errorText.empty();
}
