// The watch loop: render, note the files read, wait for one of them to change.
#include "watch.h"

#include "jobstop.h"
#include "options.h"
#include "render.h"

#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <thread>

namespace {

// How often the files are looked at, and how long they must stay unchanged before the
// job runs again: long enough for an editor's save, short enough to feel immediate.
constexpr std::chrono::milliseconds kPollInterval{100};
constexpr std::chrono::milliseconds kSettleTime{200};

void note(const std::string &message)
{
    std::cerr << "zentova-print: " << message << '\n';
}

// The status that ends the watch after a job, or 0 to go on. A signal ends it, also one
// that came when the job had just finished; a job stopped by --timeout does not, since
// the next change may fix what made it slow.
int statusThatEnds(int status)
{
    if (status > 128)
        return status;
    const int signal = JobStop::LastSignal();
    return signal != 0 ? 128 + signal : 0;
}

} // namespace

FileStamp FileStamp::Of(const std::string &path)
{
    struct stat st;
    FileStamp stamp;
    if (::stat(path.c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    stamp.size = st.st_size;
    stamp.inode = st.st_ino;
    return stamp;
}

void WatchedFiles::add(const std::string &path)
{
    m_stamps.try_emplace(path, FileStamp::Of(path));
}

std::vector<std::string> WatchedFiles::waitForChange(std::chrono::milliseconds interval,
                                                     std::chrono::milliseconds settle) const
{
    std::map<std::string, FileStamp> now = m_stamps;
    auto changed = [&] {
        bool any = false;
        for (auto &[path, stamp] : now) {
            const FileStamp fresh = FileStamp::Of(path);
            if (!(fresh == stamp)) {
                stamp = fresh;
                any = true;
            }
        }
        return any;
    };
    while (!changed())
        std::this_thread::sleep_for(interval);
    auto quietSince = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - quietSince < settle) {
        std::this_thread::sleep_for(interval);
        if (changed())
            quietSince = std::chrono::steady_clock::now();
    }
    std::vector<std::string> paths;
    for (const auto &[path, stamp] : now)
        if (!(stamp == m_stamps.at(path)))
            paths.push_back(path);
    return paths;
}

int WatchCommandFile(const Options &options)
{
    std::error_code ec;
    const std::string input = std::filesystem::absolute(options.input, ec).string();
    for (;;) {
        WatchedFiles files;
        // Stamped before the job reads them, so that a change while it runs is seen.
        files.add(input);
        if (!options.dataFile.empty())
            files.add(std::filesystem::absolute(options.dataFile, ec).string());
        const int status =
            RenderCommandFile(options, [&files](const std::string &path) { files.add(path); });
        if (const int end = statusThatEnds(status))
            return end;
        note("watching " + std::to_string(files.size()) + " file(s) (Ctrl-C ends)");
        for (const std::string &path : files.waitForChange(kPollInterval, kSettleTime)) {
            if (FileStamp::Of(path).exists)
                note(path + " changed");
            else
                note(path + " disappeared; watching for it to come back");
        }
    }
}
