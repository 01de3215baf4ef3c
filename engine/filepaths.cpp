// Paths of command files on this system: separators, encoding and letter case.
#include "filepaths.h"

#include "codepage.h"

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Exists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The entry of `folder` whose name equals `name` ignoring letter case, or "".
std::string FindEntry(const std::string &folder, std::string_view name)
{
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return {};
    std::string found;
    while (const dirent *entry = ::readdir(dir)) {
        if (EqualIgnoringCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

std::string ToFileSystemPath(std::string_view cp932Path)
{
    std::string slashed(cp932Path);
    for (std::size_t i = 0; i < slashed.size(); i += cp932::CharLength(slashed, i)) {
        if (slashed[i] == '\\')
            slashed[i] = '/';
    }
    return cp932::ToUtf8(slashed);
}

std::string FindExistingPath(const std::string &fsPath)
{
    if (fsPath.empty())
        return {};
    if (Exists(fsPath))
        return fsPath;
    // Walk the names from the start, keeping each that exists as written and looking the
    // others up in their folder.
    std::string resolved;
    std::size_t pos = 0;
    if (fsPath[0] == '/') {
        resolved = "/";
        pos = 1;
    }
    while (pos <= fsPath.size()) {
        std::size_t end = fsPath.find('/', pos);
        if (end == std::string::npos)
            end = fsPath.size();
        const std::string_view name = std::string_view(fsPath).substr(pos, end - pos);
        if (!name.empty()) {
            std::string candidate = resolved + std::string(name);
            if (!Exists(candidate)) {
                const std::string entry = FindEntry(resolved, name);
                if (entry.empty())
                    return {};
                candidate = resolved + entry;
            }
            resolved = candidate;
            if (end < fsPath.size())
                resolved += '/';
        }
        pos = end + 1;
    }
    return Exists(resolved) ? resolved : std::string();
}

std::string FolderOfPath(std::string_view cp932Path)
{
    std::size_t cut = 0;
    for (std::size_t i = 0; i < cp932Path.size(); i += cp932::CharLength(cp932Path, i)) {
        if (cp932Path[i] == '\\' || cp932Path[i] == '/')
            cut = i + 1;
    }
    return std::string(cp932Path.substr(0, cut));
}

std::FILE *OpenRegularFile(const std::string &fsPath)
{
    struct stat st;
    if (::stat(fsPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    // Checked again on what was opened, since the name may have changed in between; opening
    // without waiting keeps a FIFO put there from holding the job.
    const int fd = ::open(fsPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::FILE *file = nullptr;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        file = ::fdopen(fd, "rb");
    if (file == nullptr)
        ::close(fd);
    return file;
}

bool ReadWholeFile(const std::string &fsPath, std::string &data, std::size_t maxBytes)
{
    std::FILE *file = OpenRegularFile(fsPath);
    if (file == nullptr)
        return false;
    struct stat st;
    bool ok = ::fstat(::fileno(file), &st) == 0 &&
              static_cast<unsigned long long>(st.st_size) <= maxBytes;
    if (ok) {
        data.resize(static_cast<std::size_t>(st.st_size));
        const std::size_t got = data.empty() ? 0 : std::fread(data.data(), 1, data.size(), file);
        data.resize(got);
        ok = !std::ferror(file);
    }
    std::fclose(file);
    return ok;
}
