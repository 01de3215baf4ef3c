// zentova-print --watch: render again whenever a file the job read changes.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

struct Options;

// What a file looks like from outside: absent, or its change time, size and inode. Two
// equal stamps mean the file did not change in between (as far as the file system tells).
struct FileStamp {
    bool exists = false;
    long long modifiedNs = 0;
    long long size = 0;
    unsigned long long inode = 0;

    static FileStamp Of(const std::string &path);
    bool operator==(const FileStamp &) const = default;
};

// A set of files and their stamps as they were when they were added.
class WatchedFiles {
public:
    // Adds `path` with its stamp now; a path already there keeps its first stamp.
    void add(const std::string &path);
    bool empty() const { return m_stamps.empty(); }
    std::size_t size() const { return m_stamps.size(); }

    // Waits, looking every `interval`, until a file differs from its stamp, then until the
    // files have stayed as they are for `settle` (an editor may write a file in several
    // steps, or remove it and write it anew). Returns the files that changed.
    std::vector<std::string> waitForChange(std::chrono::milliseconds interval,
                                           std::chrono::milliseconds settle) const;

private:
    std::map<std::string, FileStamp> m_stamps;
};

// Renders the command file of `options`, then again after every change of it, a file it
// called, a picture it drew or the data file of --data, until the program is interrupted
// or a job is stopped by a signal. Returns the status of that stopped job.
int WatchCommandFile(const Options &options);
