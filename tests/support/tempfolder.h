// A temporary folder for tests that need files, removed with everything in it.
#pragma once

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // The folder's path, ending with "/".
    const std::string &path() const { return m_path; }
    // Writes `bytes` to the file `name` (folders in it are made); returns its full path.
    std::string write(const std::string &name, const std::string &bytes) const;

private:
    std::string m_path;
};
