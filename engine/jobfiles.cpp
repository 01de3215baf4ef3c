// Finding the files of calls and pictures, and the root that confines them.
#include "jobfiles.h"

#include "errors.h"
#include "filepaths.h"
#include "viewstate.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// `path` with every existing link resolved, or "" when it does not exist.
std::string RealPath(const std::string &path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// True when the absolute, resolved `path` is `root` or lies below it.
bool LiesIn(const std::string &path, const std::string &root)
{
    if (root == "/")
        return true;
    return path.compare(0, root.size(), root) == 0 &&
           (path.size() == root.size() || path[root.size()] == '/');
}

// The absolute form of `path` with the links of its existing part resolved and "." and
// ".." taken away; "" when the file system cannot tell.
std::string ResolvedAsFarAsItExists(const std::string &path)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    if (ec)
        return {};
    const fs::path resolved = fs::weakly_canonical(absolute, ec);
    return ec ? std::string() : resolved.string();
}

} // namespace

int JobFile::errorCode() const
{
    return status == Status::OutsideRoot ? ErrOutsideRoot : ErrNoFile;
}

JobFile FindJobFile(const ViewState &view, std::string_view cp932Path)
{
    const std::string fsPath = ToFileSystemPath(cp932Path);
    JobFile result;
    if (fsPath.empty())
        return result;
    const bool confined = !view.rootFolder.empty();
    if (confined) {
        const std::string leadsTo = ResolvedAsFarAsItExists(fsPath);
        if (leadsTo.empty() || !LiesIn(leadsTo, view.rootFolder)) {
            result.status = JobFile::Status::OutsideRoot;
            return result;
        }
    }
    const std::string found = FindExistingPath(fsPath);
    if (view.fileLookedUp) {
        std::error_code ec;
        view.fileLookedUp(fs::absolute(found.empty() ? fsPath : found, ec).string());
    }
    if (found.empty())
        return result;
    if (confined) {
        // The name found may differ in letter case or be a link: check where it really is.
        const std::string real = RealPath(found);
        if (real.empty())
            return result;
        if (!LiesIn(real, view.rootFolder)) {
            result.status = JobFile::Status::OutsideRoot;
            return result;
        }
        result.path = real;
    } else {
        result.path = found;
    }
    result.status = JobFile::Status::Found;
    return result;
}

std::string ResolveRootFolder(const std::string &dir)
{
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec))
        return {};
    return RealPath(dir);
}
