// The picture commands: psize, and `!` / `!!` with a file, a clipboard slot or nothing.
#include "handlers.h"
#include "imagedraw.h"
#include "pagedrawing.h"

#include "engine/arguments.h"
#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/filepaths.h"
#include "engine/frame.h"
#include "engine/jobfiles.h"
#include "engine/pathmacro.h"
#include "engine/viewstate.h"

#include <memory>
#include <mutex>

namespace {

// The capacity the plug-in host starts its filter text with.
constexpr int kFilterCapacity = 256;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The slot form "digit [blanks] [# comment]": full-width blanks count as two blanks,
// commas and tabs as one. After the first blank only blanks may follow up to a "#".
bool IsValidSlotText(std::string_view text)
{
    std::string spaced;
    spaced.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); i += cp932::CharLength(text, i)) {
        if (text.compare(i, 2, "\x81\x40") == 0)
            spaced += "  ";
        else if (text[i] == ',' || text[i] == '\t')
            spaced += ' ';
        else
            spaced.append(text.substr(i, cp932::CharLength(text, i)));
    }
    const std::size_t blank = spaced.find(' ');
    if (blank == std::string::npos)
        return true;
    for (std::size_t i = blank; i < spaced.size() && spaced[i] != '#'; ++i) {
        if (spaced[i] != ' ')
            return false;
    }
    return true;
}

// Decodes the picture file `path` (already expanded) with the plug-ins of the program's
// folder. Raises 24 or 25 and returns null on failure. Pages drawn on several threads
// decode one picture at a time: plug-ins were written for a program of one thread.
std::unique_ptr<FileImage> LoadFileImage(CommandFrame &frame, const std::string &path)
{
    const ViewState &view = *frame.view;
    const JobFile found = FindJobFile(view, path);
    if (!found.found()) {
        RaiseError(frame, found.errorCode());
        return nullptr;
    }
    const std::string &file = found.path;
    static std::mutex decoding;
    const std::lock_guard lock(decoding);
    auto loader = std::make_unique<CImageLoader>();
    loader->ScanPlugins(view.programFolder.empty() ? std::string()
                                                   : ToFileSystemPath(view.programFolder),
                        kFilterCapacity);
    if (loader->ReadInfo(file) == 0 || loader->Load(file) == 0) {
        RaiseError(frame, ErrBadImage);
        return nullptr;
    }
    auto image = std::make_unique<FileImage>();
    image->loader = std::move(loader);
    return image;
}

} // namespace

void CmdPictureSize(CommandFrame &frame)
{
    int w = 0, h = 0, radius = 0, direction = 1;
    if (!CheckArgumentCount(frame, 4) || !ReadNumber(frame, 1, w) || !ReadNumber(frame, 2, h))
        return;
    if (w < 0 || h < 0) {
        RaiseError(frame, ErrRange);
        return;
    }
    if (!IsAbsent(frame, 3) && !ReadNumber(frame, 3, radius))
        return;
    const long long corners = 2LL * radius;
    if (radius < 0 || (w > 0 && w < corners) || (h > 0 && h < corners)) {
        RaiseError(frame, ErrRange);
        return;
    }
    if (!IsAbsent(frame, 4) && !ReadNumber(frame, 4, direction))
        return;
    if (direction < -4 || direction > 4 || direction == 0) {
        RaiseError(frame, ErrRange);
        return;
    }
    CCommandEngine &e = *frame.engine;
    e.imageWidth = w;
    e.imageHeight = h;
    e.imageRadius = radius;
    e.imageDirection = direction < 0 ? -direction : direction;
    e.imageDirectionNegative = direction < 0 ? 1 : 0;
}

void CmdImage(CommandFrame &frame)
{
    std::string_view text = Trim(std::string_view(frame.currentLine).substr(1));
    bool draw = true;
    if (!text.empty() && text[0] == '!') {
        draw = false;
        text.remove_prefix(1);
    }
    PageDrawing &drawing = Drawing(frame);
    if (text.empty()) {
        DrawImage(frame, drawing.lastImage, draw);
        return;
    }
    DrawingView &view = drawing.view;
    if (text[0] >= '0' && text[0] <= '9') {
        if (!IsValidSlotText(text)) {
            RaiseError(frame, ErrFormat);
            return;
        }
        ImageRef slot;
        slot.clip = view.clipSlots.Slot(text[0] - '0');
        DrawImage(frame, slot, draw);
        return;
    }
    std::string path(text);
    ExpandPathMacro(view, path);
    auto cached = view.imageCache.find(path);
    if (cached == view.imageCache.end()) {
        std::unique_ptr<FileImage> loaded = LoadFileImage(frame, path);
        if (!loaded)
            return;
        cached = view.imageCache.emplace(std::move(path), std::move(loaded)).first;
    }
    ImageRef file;
    file.file = cached->second.get();
    DrawImage(frame, file, draw);
}
