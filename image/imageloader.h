// The image file reader and plug-in host: decodes one image file, a bitmap file itself and
// any other file through the image plug-ins of the program's folder, and builds the file
// type filter of the image file dialog from those plug-ins.
#pragma once

#include "image/decodedpicture.h"
#include "image/filterpatterns.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

class CImageLoader {
public:
    static constexpr int kMaxPlugins = 256;

    CImageLoader() = default;
    // Unloads the plug-in libraries.
    virtual ~CImageLoader();
    CImageLoader(const CImageLoader &) = delete;
    CImageLoader &operator=(const CImageLoader &) = delete;

    // Where the messages about plug-in patterns go (a message box in the desktop program);
    // by default nowhere. Set once at start-up.
    static void SetMessageHook(MessageHook hook);

    // Loads the import plug-ins ("*.spi" files, extension in any case) of `folder`, a file
    // system folder ("/" at its end is optional), taken in the byte order of their names,
    // and builds the filter text. `size` is the first capacity of the filter text (at least 48). Returns
    // -1 when the folder is empty, missing or has no plug-in file, else 1. A file that is
    // not a library for this platform, has no GetPluginInfo or is not an "00IN" filter is
    // skipped silently; at most kMaxPlugins are held.
    //
    // The filter (code page 932, the file dialog's "description|patterns|...||" form):
    // "画像ファイル|*.bmp; ALL|ビットマップ (*.bmp)|*.BMP|DESC|PATTERNS|...||" with ALL every
    // plug-in's patterns once (MergePatterns) and a DESC|PATTERNS pair per plug-in, its
    // patterns without blanks; without plug-ins "ビットマップ (*.bmp)|*.bmp||", and
    // "ビットマップ (*.bmp)|*.BMP||" when the first plug-in file cannot be opened.
    int ScanPlugins(const std::string &folder, int size = 256);

    // Reads the size of the picture at `path` (a file system path) and chooses the
    // plug-in for it. Returns 1 when width and height are positive, 0 when not, or the
    // negative result of FindPlugin when no plug-in matches.
    int ReadInfo(const std::string &path);
    // Decodes the whole picture; must follow ReadInfo on the same path. Returns 1 when
    // width and height are positive, else 0.
    int Load(const std::string &path);

    // The operations ScanPlugins and the reads are made of.

    // Information number `info` of the plug-in `path` in entry `slot`: info 0 first loads
    // the library into the entry (-2 when that fails); info -1 unloads it and returns 0.
    // Otherwise returns GetPluginInfo's result, -1 for an empty entry, or -3 (unloading
    // the library) when it lacks GetPluginInfo. `buf` is always NUL-terminated.
    int CallPluginInfo(int info, char *buf, int buflen, const std::string &path, int slot);
    // The first plug-in whose patterns name the extension of `path`: -2 without
    // plug-ins, -3 when none matches.
    int FindPlugin(const std::string &path);
    // Reads a bitmap file; returns 1 when it is decodable, else 0 (sizes 0).
    int ReadBmp(const std::string &path, bool infoOnly);
    // Reads the picture through plug-in `n`: 0 on success, else a negative code (-1 no
    // plug-ins or bad sizes, -2 no text information or no GetPictureInfo, -3 not
    // supported, -4 no IsSupported, -10 decoding failed, -11 no GetPicture, -20 an empty
    // entry). The sizes then tell success: both positive.
    int ReadWithPlugin(const std::string &path, int n, bool infoOnly);
    // The diagnostic of a failed release call ("Spiuse のエラーです。エラー番号：%d",
    // code page 932), written to the standard error stream; empty when `ok`. It does not
    // pause: the failures it reports (dlclose) leave nothing to wait for, and a pause
    // would only stall the print job.
    static std::string ReportRelease(bool ok, int code);

    int pixelWidth() const { return m_picture.pixelWidth; }
    int pixelHeight() const { return m_picture.pixelHeight; }
    const std::vector<unsigned char> &bitmapInfo() const { return m_picture.bitmapInfo; }
    const std::vector<unsigned char> &bits() const { return m_picture.bits; }
    std::size_t bitsSize() const { return m_picture.bits.size(); }
    const std::string &filterText() const { return m_filterText; }
    int pluginCount() const { return m_pluginCount; }
    int pluginIndex() const { return m_pluginIndex; }

private:
    void *pluginFunction(int slot, const char *name);
    void unloadPlugin(int slot, int failureCode);
    void setSizes(int width, int height);

    std::array<void *, kMaxPlugins> m_pluginHandles{};
    std::string m_filterText;
    int m_pluginCount = 0;
    int m_pluginIndex = -1;
    DecodedPicture m_picture;
};
