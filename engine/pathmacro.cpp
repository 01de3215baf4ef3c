// Expansion and abbreviation of the path macros of command files.
#include "pathmacro.h"

#include "codepage.h"
#include "viewstate.h"

#include <string_view>

namespace {

// Upper-case copy of single-byte letters; both bytes of two-byte characters stay.
std::string ToUpper(std::string_view s)
{
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); i += cp932::CharLength(out, i)) {
        if (out[i] >= 'a' && out[i] <= 'z')
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
    }
    return out;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

void ExpandPathMacro(const ViewState &view, std::string &path)
{
    if (path.empty() || path[0] != '%')
        return;
    const std::size_t close = path.find('%', 1);
    // The macro name needs at least two characters between the signs.
    if (close == std::string::npos || close < 3)
        return;
    const std::string key = ToUpper(std::string_view(path).substr(0, 3));
    const std::string *folder = nullptr;
    if (key == "%DE")
        folder = &view.desktopFolder;
    else if (key == "%DO")
        folder = &view.documentsFolder;
    else if (key == "%PI")
        folder = &view.picturesFolder;
    else if (key == "%PR")
        folder = &view.programFilesFolder;
    else if (key == "%ZE")
        folder = &view.programFolder;
    else if (key == "%WI")
        folder = &view.baseFolder;
    if (folder == nullptr || folder->empty())
        return;
    std::string_view rest = std::string_view(path).substr(close + 1);
    if (!rest.empty() && IsSeparator(rest[0]))
        rest.remove_prefix(1);
    path = *folder + std::string(rest);
}

void AbbreviatePath(const ViewState &view, std::string &path)
{
    const struct {
        const std::string &folder;
        const char *macro;
    } order[] = {
        {view.baseFolder, "%With%"},         {view.programFolder, "%Zentova%"},
        {view.picturesFolder, "%Pictures%"}, {view.documentsFolder, "%Documents%"},
        {view.desktopFolder, "%Desktop%"},   {view.programFilesFolder, "%ProgramFiles%"},
    };
    const std::string upperPath = ToUpper(path);
    for (const auto &entry : order) {
        if (entry.folder.empty() || entry.folder.size() > path.size())
            continue;
        if (upperPath.compare(0, entry.folder.size(), ToUpper(entry.folder)) == 0) {
            path = entry.macro + path.substr(entry.folder.size());
            return;
        }
    }
}
