// Reading a picture through an image plug-in. What a plug-in hands back is checked before
// anything is copied: the header must describe a drawable picture, and no more bytes are
// read from either block than malloc() gave it. A picture refused here is reported on the
// standard error stream, for the plug-in's author: the plug-in itself said it succeeded.
#include "image/imageloader.h"

#include "image/dibheader.h"
#include "image/spi.h"

#include "engine/filepaths.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

// The picture in the plug-in's two blocks, copied into `picture`. Returns null, or why
// the blocks do not hold a drawable picture.
const char *TakePluginPicture(const void *infoBlock, const void *bitsBlock, DecodedPicture &picture)
{
    if (!infoBlock || !bitsBlock)
        return "a block is missing";
    const auto *info = static_cast<const unsigned char *>(infoBlock);
    const std::size_t infoAvailable = malloc_usable_size(const_cast<void *>(infoBlock));
    if (infoAvailable < dib::kInfoHeaderSize)
        return "the information block is shorter than its 40-byte header";
    const dib::InfoHeader header = dib::ReadInfoHeader(info);
    if (header.size != dib::kInfoHeaderSize || !dib::IsDrawable(header))
        return "the header does not describe a picture this program draws";
    // The colour table: 2^bitCount entries, or the biClrUsed entries a block that ends
    // after them holds (the usual form of a picture with fewer colours); the entries it
    // leaves out are black.
    const std::size_t colours = dib::ColourCount(header.bitCount);
    std::size_t tableBytes = 4 * colours;
    if (infoAvailable < dib::kInfoHeaderSize + tableBytes && header.clrUsed > 0
        && header.clrUsed < colours)
        tableBytes = 4 * std::size_t{header.clrUsed};
    if (infoAvailable < dib::kInfoHeaderSize + tableBytes)
        return "the colour table is shorter than 2^biBitCount or biClrUsed entries";

    // Uncompressed rows: as many as the header claims; compressed data: biSizeImage bytes.
    const std::size_t bitsAvailable = malloc_usable_size(const_cast<void *>(bitsBlock));
    std::int64_t wanted = dib::RowStride(header.bitCount, header.width) * header.height;
    if (header.compression == dib::kRle8 || header.compression == dib::kRle4)
        wanted = header.sizeImage > 0 ? header.sizeImage : static_cast<std::int64_t>(bitsAvailable);
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::int64_t>(wanted, static_cast<std::int64_t>(bitsAvailable)));
    if (!dib::HoldsPixels(header, static_cast<std::int64_t>(count)))
        return "the pixel block is too short for the picture";

    picture.bitmapInfo.assign(dib::BitmapInfoSize(header.bitCount), 0);
    std::memcpy(picture.bitmapInfo.data(), info, dib::kInfoHeaderSize + tableBytes);
    const auto *bits = static_cast<const unsigned char *>(bitsBlock);
    picture.bits.assign(bits, bits + count);
    picture.pixelWidth = header.width;
    picture.pixelHeight = header.height;
    return nullptr;
}

} // namespace

int CImageLoader::ReadWithPlugin(const std::string &path, int n, bool infoOnly)
{
    if (m_pluginCount == 0)
        return -1;
    if (n < 0 || n >= m_pluginCount || !m_pluginHandles[static_cast<std::size_t>(n)]) {
        setSizes(-1, -1);
        return -20;
    }
    std::string name = path; // the interface passes names as char *

    if (infoOnly) {
        const auto isSupported =
            reinterpret_cast<decltype(&IsSupported)>(pluginFunction(n, "IsSupported"));
        if (!isSupported) {
            setSizes(-1, -1);
            unloadPlugin(n, -1003);
            return -4;
        }
        // Only a regular file goes to the plug-in, which opens it again by its name.
        std::FILE *file = OpenRegularFile(path);
        const int supported =
            file ? isSupported(name.data(), static_cast<uintptr_t>(fileno(file))) : 0;
        if (file)
            std::fclose(file);
        if (!supported) {
            setSizes(-1, -1);
            return -3;
        }
        const auto getPictureInfo =
            reinterpret_cast<decltype(&GetPictureInfo)>(pluginFunction(n, "GetPictureInfo"));
        if (!getPictureInfo) {
            setSizes(-1, -1);
            unloadPlugin(n, -1003);
            return -2;
        }
        PictureInfo info{};
        getPictureInfo(name.data(), 0, 0, &info); // its result is not looked at
        int result = 0;
        if (info.width > 0 && info.height > 0
            && static_cast<std::int64_t>(info.width) * info.height <= dib::kMaxPixels) {
            setSizes(info.width, info.height);
        } else {
            setSizes(-1, -1);
            result = -1;
        }
        if (info.hInfo)
            std::free(info.hInfo);
        else if (result == 0)
            result = -2; // no text information; ReadInfo judges by the sizes alone
        return result;
    }

    const auto getPicture =
        reinterpret_cast<decltype(&GetPicture)>(pluginFunction(n, "GetPicture"));
    if (!getPicture) {
        setSizes(-1, -1);
        unloadPlugin(n, -1004);
        return -11;
    }
    HANDLE infoBlock = nullptr;
    HANDLE bitsBlock = nullptr;
    m_picture.Clear();
    const int result = getPicture(name.data(), 0, 0, &infoBlock, &bitsBlock, nullptr, 0);
    if (result != 0) {
        setSizes(-2, result);
        return -10;
    }
    const char *refusal = TakePluginPicture(infoBlock, bitsBlock, m_picture);
    std::free(infoBlock);
    std::free(bitsBlock);
    if (refusal) {
        std::clog << "image plug-in: " << path << ": " << refusal << '\n';
        m_picture.Clear();
        return -10;
    }
    return 0;
}
