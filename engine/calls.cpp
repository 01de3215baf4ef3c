// The call of another command file: `<path` runs that file here, one frame deeper.
#include "codepage.h"
#include "dispatch.h"
#include "engine.h"
#include "errors.h"
#include "filepaths.h"
#include "frame.h"
#include "handlers.h"
#include "jobfiles.h"
#include "pathmacro.h"
#include "viewstate.h"

#include <memory>

namespace {

// The deepest level a called file may run at; the page's own text is level 0.
constexpr int kMaxCallDepth = 7;

// A called file larger than this is not read: no command file comes near it, and reading a
// huge file at every call would stall the job.
constexpr std::size_t kMaxCalledFileBytes = std::size_t{64} << 20;

// A byte that never occurs in a command file written as text.
bool IsBinaryByte(unsigned char b)
{
    return (b >= 0x01 && b <= 0x08) || b >= 0xFD;
}

// The text a called file runs as: its lines each followed by CR LF (a CR before an LF
// belongs to the line end), or the single line "バイナリファイル" for a file that is not
// text.
std::string CalledText(std::string_view data)
{
    std::string text;
    text.reserve(data.size() + data.size() / 16 + 2);
    std::size_t pos = 0;
    while (pos < data.size()) {
        std::size_t end = data.find('\n', pos);
        std::size_t next = end == std::string_view::npos ? data.size() : end + 1;
        if (end == std::string_view::npos)
            end = data.size();
        else if (end > pos && data[end - 1] == '\r')
            --end;
        const std::string_view line = data.substr(pos, end - pos);
        for (unsigned char b : line) {
            if (IsBinaryByte(b))
                return CP932("バイナリファイル") + std::string("\r\n");
        }
        text.append(line);
        text.append("\r\n");
        pos = next;
    }
    return text;
}

} // namespace

void CmdCall(CommandFrame &frame)
{
    const std::string_view written = std::string_view(frame.currentLine).substr(1);
    if (written.empty()) {
        RaiseError(frame, ErrFormat);
        return;
    }
    if (frame.depth >= kMaxCallDepth) {
        RaiseError(frame, ErrCallTooDeep);
        return;
    }
    ViewState &view = *frame.view;
    std::string path(written);
    ExpandPathMacro(view, path);
    std::string data;
    const JobFile file = FindJobFile(view, path);
    if (!file.found()) {
        RaiseError(frame, file.errorCode());
        return;
    }
    if (!ReadWholeFile(file.path, data, kMaxCalledFileBytes)) {
        RaiseError(frame, ErrNoFile);
        return;
    }
    const std::string text = CalledText(data);
    data = std::string();

    CCommandEngine &engine = *frame.engine;
    if (frame.depth == 0) {
        engine.errorCallLine = 0;
        engine.errorCallPath.clear();
    }
    std::string savedCallPath = engine.nestedCallPath;
    if (frame.depth >= 1)
        engine.nestedCallPath.assign(written);
    std::string savedBaseFolder = std::move(view.baseFolder);
    view.baseFolder = FolderOfPath(path);

    // Frames are large (their save areas), so the deeper levels live on the heap.
    auto called = std::make_unique<CommandFrame>(engine, frame.depth + 1);
    RunText(*called, text);

    engine.nestedCallPath = std::move(savedCallPath);
    view.baseFolder = std::move(savedBaseFolder);
    if (called->firstErrorCode == ErrCallTooDeep)
        RaiseError(frame, ErrCallTooDeep);
    else if (called->firstErrorCode != 0)
        RaiseError(frame, ErrInCalledFile);
}
