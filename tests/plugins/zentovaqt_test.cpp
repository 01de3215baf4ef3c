// The shipped plug-in, loaded by the plug-in host from the programs' folder, decoding
// pictures that Qt writes here. Runs once without an application object and once with a
// QGuiApplication (--with-app), as in zentova-print and the desktop program.
#include "image/dibpixels.h"
#include "image/imageloader.h"
#include "image/spi.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

const std::string kProgramFolder = ZENTOVA_PROGRAM_DIR "/";

// 40 × 20: red on the left half, blue on the right, the top-right 4 × 4 corner fully
// transparent and the pixel below it half transparent black.
QImage TestPicture()
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 0));
    QPainter(&image).fillRect(20, 0, 20, 20, QColor(0, 0, 255));
    for (int y = 0; y < 4; ++y)
        for (int x = 36; x < 40; ++x)
            image.setPixel(x, y, qRgba(0, 0, 0, 0));
    image.setPixel(39, 4, qRgba(0, 0, 0, 128));
    return image;
}

// True when the channels of `a` and `b` differ by at most `tolerance`.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// Writes a JPEG of `image` at `path` that says it must be turned a quarter clockwise to
// be shown upright: an Exif segment with orientation 6 right after the start marker.
void WriteJpegTurnedClockwise(const QImage &image, const QString &path)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    const char exif[] = "\xFF\xE1\0\x22" "Exif\0\0" // APP1 segment of 34 bytes
                        "II*\0\x08\0\0\0\x01\0"     // TIFF header, one IFD entry:
                        "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0" // orientation 6
                        "\0\0\0\0";
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(jpeg.left(2) + QByteArray(exif, sizeof exif - 1) + jpeg.mid(2));
}

class ShippedPlugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_EQ(loader.ScanPlugins(kProgramFolder), 1);
        ASSERT_EQ(loader.pluginCount(), 1);
    }
    std::string path(const char *name) const { return folder.filePath(name).toStdString(); }
    // Loads `file` as a print job does; returns its pixels, rows from the top.
    std::vector<std::uint32_t> load(const std::string &file)
    {
        if (loader.ReadInfo(file) != 1 || loader.Load(file) != 1)
            return {};
        return DibToPixels(loader.bitmapInfo(), loader.bits().data(), loader.bitsSize(), 0, 0,
                           loader.pixelWidth(), loader.pixelHeight());
    }

    QTemporaryDir folder;
    CImageLoader loader;
};

TEST_F(ShippedPlugin, ListsQtFormatsButNotBitmaps)
{
    const std::string &filter = loader.filterText();
    const std::size_t own = filter.find("|Qt image formats|*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff;*.webp;");
    ASSERT_NE(own, std::string::npos) << filter;
    EXPECT_EQ(filter.find("*.bmp", own), std::string::npos) << filter;
    EXPECT_LT(filter.size() - own, 240u);

    // The information calls honour short buffers.
    void *library = dlopen((kProgramFolder + "zentovaqt.spi").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    const auto info = reinterpret_cast<decltype(&GetPluginInfo)>(dlsym(library, "GetPluginInfo"));
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(info(2, buffer, 8), 7);
    EXPECT_STREQ(buffer, "*.png;*");
    EXPECT_EQ(info(1, buffer, 8), 0);
    EXPECT_EQ(info(2, buffer, 0), 0);
    dlclose(library);
}

TEST_F(ShippedPlugin, DecodesQtFormatsLayingTransparencyOnWhite)
{
    for (const char *format : {"png", "jpeg", "tiff", "webp"}) {
        SCOPED_TRACE(format);
        ASSERT_TRUE(QImageWriter::supportedImageFormats().contains(format))
            << "Qt's image format plug-ins are missing";
        const bool png = std::strcmp(format, "png") == 0;
        const std::string file = path((std::string("picture.") + format).c_str());
        const QImage picture = png ? TestPicture() : TestPicture().convertToFormat(QImage::Format_RGB32);
        ASSERT_TRUE(picture.save(QString::fromStdString(file), format, 95));
        const std::vector<std::uint32_t> pixels = load(file);
        ASSERT_EQ(pixels.size(), 800u);
        EXPECT_EQ(loader.bitmapInfo().size(), 44u);
        EXPECT_EQ(loader.bitmapInfo()[14], 24); // bits per pixel
        EXPECT_TRUE(Near(pixels[10 * 40 + 5], 0xFFFF0000u, png ? 0 : 16));
        EXPECT_TRUE(Near(pixels[10 * 40 + 30], 0xFF0000FFu, png ? 0 : 16));
        if (png) {
            EXPECT_EQ(pixels[39], 0xFFFFFFFFu);          // transparent: white
            EXPECT_EQ(pixels[4 * 40 + 39], 0xFF7F7F7Fu); // half transparent black: grey
        }
    }

    // Content that is no picture, whatever its name says.
    QFile garbage(QString::fromStdString(path("garbage.png")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a picture at all\n");
    garbage.close();
    EXPECT_EQ(loader.ReadInfo(path("garbage.png")), 0);
    EXPECT_EQ(loader.Load(path("garbage.png")), 0);
}

TEST_F(ShippedPlugin, AppliesTheExifOrientation)
{
    const std::string file = path("turned.jpg");
    WriteJpegTurnedClockwise(TestPicture().convertToFormat(QImage::Format_RGB32),
                             QString::fromStdString(file));
    ASSERT_EQ(loader.ReadInfo(file), 1);
    EXPECT_EQ(loader.pixelWidth(), 20);
    EXPECT_EQ(loader.pixelHeight(), 40);
    const std::vector<std::uint32_t> pixels = load(file);
    ASSERT_EQ(pixels.size(), 800u);
    EXPECT_TRUE(Near(pixels[5 * 20 + 10], 0xFFFF0000u, 16)); // the left half is on top
    EXPECT_TRUE(Near(pixels[35 * 20 + 10], 0xFF0000FFu, 16));
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> application;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--with-app") == 0)
            application = std::make_unique<QGuiApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
