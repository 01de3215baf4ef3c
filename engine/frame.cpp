// The per-level state of a run.
#include "frame.h"

#include "engine.h"

CommandFrame::CommandFrame(CCommandEngine &e, int d)
    : engine(&e), view(e.view), depth(d), lineNo(d == 0 ? e.lineNo : 1)
{
}

CommandFrame::SaveAreas &CommandFrame::saveAreas()
{
    if (!m_saveAreas)
        m_saveAreas = std::make_unique<SaveAreas>();
    return *m_saveAreas;
}
