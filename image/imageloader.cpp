// The plug-in scan, the filter text and the choice between the bitmap reader and a
// plug-in.
#include "image/imageloader.h"

#include "engine/codepage.h"
#include "image/bmpreader.h"
#include "image/spi.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>

namespace {

constexpr int kInfoBufferSize = 256;

MessageHook &Hook()
{
    static MessageHook hook;
    return hook;
}

const std::string &BitmapOnlyFilter()
{
    return CP932("ビットマップ (*.bmp)|*.bmp||");
}

// The names of the plug-in files in `folder`, sorted byte by byte so that the plug-in
// numbers, the filter and the choice between plug-ins that claim the same extension do
// not depend on the order in which the file system lists a folder.
std::vector<std::string> PluginFileNames(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (EqualsIgnoringCase(FileExtension(name), ".spi") && it->is_regular_file(error))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Plug-ins are called from one thread at a time, whichever loader calls them: a print job
// and the live preview's thread may read pictures at the same moment.
std::recursive_mutex &PluginCalls()
{
    static std::recursive_mutex mutex;
    return mutex;
}

} // namespace

CImageLoader::~CImageLoader()
{
    const std::lock_guard lock(PluginCalls());
    for (int i = 0; i < m_pluginCount; ++i)
        unloadPlugin(i, 0);
}

void CImageLoader::SetMessageHook(MessageHook hook)
{
    Hook() = std::move(hook);
}

int CImageLoader::ScanPlugins(const std::string &folder, int size)
{
    const std::lock_guard lock(PluginCalls());
    for (int i = 0; i < m_pluginCount; ++i) // a second scan starts afresh
        unloadPlugin(i, 0);
    m_picture.Clear();
    m_pluginCount = 0;
    m_pluginIndex = -1;
    m_filterText.clear();
    m_filterText.reserve(static_cast<std::size_t>(std::max(size, 48)));

    const std::vector<std::string> names =
        folder.empty() ? std::vector<std::string>() : PluginFileNames(folder);
    const std::string base = folder.ends_with('/') ? folder : folder + '/';
    if (names.empty()) {
        m_filterText = BitmapOnlyFilter();
        return -1;
    }
    std::string all; // the patterns of every plug-in, ";"-separated
    for (std::size_t i = 0; i < names.size() && m_pluginCount < kMaxPlugins; ++i) {
        const std::string path = base + names[i];
        if (i == 0) {
            std::FILE *probe = std::fopen(path.c_str(), "rb");
            if (!probe) {
                m_filterText = CP932("ビットマップ (*.bmp)|*.BMP||");
                return 1;
            }
            std::fclose(probe);
        }
        char version[kInfoBufferSize] = {};
        CallPluginInfo(0, version, kInfoBufferSize, path, m_pluginCount);
        // The first file's version is compared ignoring case, later ones exactly.
        const bool isImport = i == 0 ? EqualsIgnoringCase(version, "00IN")
                                     : std::strcmp(version, "00IN") == 0;
        if (!isImport) {
            CallPluginInfo(-1, version, kInfoBufferSize, path, m_pluginCount);
            continue;
        }
        char patternText[kInfoBufferSize] = {};
        char description[kInfoBufferSize] = {};
        CallPluginInfo(2, patternText, kInfoBufferSize, path, m_pluginCount);
        CallPluginInfo(3, description, kInfoBufferSize, path, m_pluginCount);
        std::string patterns = patternText;
        StripBlanks(patterns);
        if (m_pluginCount == 0) {
            m_filterText = CP932("ビットマップ (*.bmp)|*.BMP|") + description + "|" + patterns;
            all = "*.bmp;" + patterns;
        } else {
            m_filterText += "|" + std::string(description) + "|" + patterns;
            all += ";" + patterns;
        }
        ++m_pluginCount;
    }
    if (m_pluginCount == 0) {
        m_filterText = BitmapOnlyFilter();
    } else {
        const std::string tail = m_filterText + "||";
        MergePatterns(all, Hook());
        m_filterText = CP932("画像ファイル|") + all + "|" + tail;
    }
    return 1;
}

int CImageLoader::CallPluginInfo(int info, char *buf, int buflen, const std::string &path, int slot)
{
    const std::lock_guard lock(PluginCalls());
    if (buf && buflen > 0)
        buf[0] = '\0';
    if (slot < 0 || slot >= kMaxPlugins)
        return -1;
    void *&handle = m_pluginHandles[static_cast<std::size_t>(slot)];
    if (info == 0) {
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return -2;
    } else if (info == -1) {
        unloadPlugin(slot, 0);
        return 0;
    }
    if (!handle)
        return -1;
    const auto getPluginInfo =
        reinterpret_cast<decltype(&GetPluginInfo)>(pluginFunction(slot, "GetPluginInfo"));
    if (!getPluginInfo) {
        unloadPlugin(slot, 0);
        return -3;
    }
    const int result = getPluginInfo(info, buf, buflen);
    if (buf && buflen > 0)
        buf[buflen - 1] = '\0';
    return result;
}

int CImageLoader::FindPlugin(const std::string &path)
{
    if (m_pluginCount == 0)
        return -2;
    const std::string_view ext = FileExtension(path);
    for (int i = 0; i < m_pluginCount; ++i) {
        char patterns[kInfoBufferSize] = {};
        CallPluginInfo(2, patterns, kInfoBufferSize, path, i);
        if (PatternsMatchExtension(patterns, ext))
            return i;
    }
    return -3;
}

int CImageLoader::ReadInfo(const std::string &path)
{
    setSizes(0, 0);
    if (EqualsIgnoringCase(FileExtension(path), ".bmp")) {
        ReadBmp(path, true);
    } else {
        const std::lock_guard lock(PluginCalls());
        m_pluginIndex = FindPlugin(path);
        if (m_pluginIndex < 0)
            return m_pluginIndex;
        ReadWithPlugin(path, m_pluginIndex, true);
    }
    return pixelWidth() > 0 && pixelHeight() > 0 ? 1 : 0;
}

int CImageLoader::Load(const std::string &path)
{
    if (EqualsIgnoringCase(FileExtension(path), ".bmp")) {
        ReadBmp(path, false);
    } else if (m_pluginIndex < 0) {
        m_picture.Clear();
        return 0;
    } else {
        const std::lock_guard lock(PluginCalls());
        ReadWithPlugin(path, m_pluginIndex, false);
    }
    return pixelWidth() > 0 && pixelHeight() > 0 ? 1 : 0;
}

int CImageLoader::ReadBmp(const std::string &path, bool infoOnly)
{
    return ReadBmpFile(path, infoOnly, m_picture) ? 1 : 0;
}

std::string CImageLoader::ReportRelease(bool ok, int code)
{
    if (ok)
        return std::string();
    std::string text = CP932("Spiuse のエラーです。エラー番号：") + std::to_string(code);
    std::clog << cp932::ToUtf8(text) << '\n';
    return text;
}

void *CImageLoader::pluginFunction(int slot, const char *name)
{
    void *handle = m_pluginHandles[static_cast<std::size_t>(slot)];
    return handle ? dlsym(handle, name) : nullptr;
}

void CImageLoader::unloadPlugin(int slot, int failureCode)
{
    const std::lock_guard lock(PluginCalls());
    void *&handle = m_pluginHandles[static_cast<std::size_t>(slot)];
    if (!handle)
        return;
    const bool ok = dlclose(handle) == 0;
    handle = nullptr;
    if (failureCode != 0)
        ReportRelease(ok, failureCode);
}

void CImageLoader::setSizes(int width, int height)
{
    m_picture.pixelWidth = width;
    m_picture.pixelHeight = height;
}
