// The job steps around the page runs.
#include "printjob.h"

#include "pagedrawing.h"
#include "surface.h"

#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/filepaths.h"

int PrintJob::Prepare(std::string text, bool previewing, std::string_view documentPath)
{
    m_view.previewing = previewing;
    // The folder is joined to paths of command files, so it is kept in their encoding.
    m_view.baseFolder = FolderOfPath(cp932::FromUtf8(documentPath));
    m_index = PageIndex(std::move(text));
    return m_index.pageCount();
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

void PrintJob::PrintPage(Surface &surface, int page)
{
    if (m_view.stopping)
        return;
    surface.StartPage(page, m_view.paperWidth, m_view.paperHeight);
    PageDrawing drawing(surface, m_view);
    CCommandEngine engine(m_view, &drawing);
    if (page > 0) {
        const auto index = static_cast<std::size_t>(page);
        if (index >= m_rendered.size())
            m_rendered.resize(index + 1);
        engine.recordErrors = !m_rendered[index];
        m_rendered[index] = true;
    }
    engine.RunPage(m_index, page);
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
