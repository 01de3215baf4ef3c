// PNG pages decode to exactly the pixels rendered, in the smallest form the page allows:
// a gray page, a page of a few colours and a page with a photo.
#include "cli/pngencoder.h"
#include "support/tempfolder.h"

#include "draw/drawingview.h"
#include "draw/pagedrawing.h"
#include "draw/qt/qtsurface.h"
#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/textlines.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

// Rendering text needs a QGuiApplication; without a display, the offscreen platform.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "cli_tests";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] ::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// `commands` run on a white 60 × 40 mm page at 200 dpi, pictures decoded by the shipped
// plug-in, as zentova-print renders a page.
QImage RenderPage(const std::string &commands, const std::string &folder)
{
    QImage image(472, 315, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(7874);
    image.setDotsPerMeterY(7874);
    DrawingView view;
    view.baseFolder = folder;
    view.programFolder = std::filesystem::path(ZENTOVA_PRINT).parent_path().string() + "/";
    QPainter painter(&image);
    QtSurface surface(&painter, 200, 200);
    PageDrawing drawing(surface, view);
    CCommandEngine engine(view, &drawing);
    engine.recordErrors = true;
    engine.RunPage(PageIndex(NormalizeLineEnds(cp932::FromUtf8(commands))), 1);
    EXPECT_TRUE(view.errorText.empty()) << cp932::ToUtf8(view.errorText.str());
    painter.end();
    return image;
}

TEST(PngEncoder, PagesDecodeToTheRenderedPixelsInTheSmallestForm)
{
    TempFolder folder;
    QImage photo(64, 48, QImage::Format_RGB32); // 3072 colours
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(x * 4, y * 5, 255 - x * 2));
    ASSERT_TRUE(photo.save(QString::fromStdString(folder.path() + "photo.png")));

    struct Case {
        const char *what;
        std::string commands;
        PngPixelForm form;
        int colourType; // IHDR
    };
    const Case cases[] = {
        {"black text and rules",
         "/ＭＳ 明朝\nfsize 40\nposition 50 50\n:.灰色の見本 Gray 123\n*\n"
         "hrange 10 500\nhline 150 300 -5\nlwidth 7\nline 20 20 400 350",
         PngPixelForm::Gray, 0},
        {"a few colours",
         "color 200 30 40\nfrectangle 20 20 300 200\ncolor 10 120 250\n"
         "frectangle 250 150 550 380\nlwidth 5\ncolor 0 0 0\nline 0 390 590 390",
         PngPixelForm::Indexed, 3},
        {"a photo", "position 30 30\npsize 400 300\n!%With%photo.png\n:.写真\n*", PngPixelForm::Rgb, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QImage page = RenderPage(c.commands, folder.path());
        EXPECT_EQ(ChoosePngPixels(page).form, c.form);
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        ASSERT_TRUE(WritePng(page, file));
        const QByteArray bytes = file.data();
        ASSERT_GT(bytes.size(), 26);
        EXPECT_EQ(bytes[25], c.colourType);
        const QImage decoded = QImage::fromData(bytes, "png");
        ASSERT_FALSE(decoded.isNull());
        EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32), page);
        EXPECT_EQ(decoded.dotsPerMeterX(), 7874);
    }
}

TEST(PngEncoder, PaletteHoldsEveryColourUpTo256)
{
    // A white row above a row of other colours: up to 256 colours indexed, one more three
    // bytes a pixel.
    for (const int colours : {2, 3, 256, 257}) {
        SCOPED_TRACE(colours);
        QImage image(264, 2, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int x = 0; x < image.width(); ++x) {
            const int c = std::min(x, colours - 2);
            image.setPixel(x, 1, qRgb(c & 0xFF, c >> 8, 7));
        }
        const PngPixels pixels = ChoosePngPixels(image);
        EXPECT_EQ(pixels.form, colours <= 256 ? PngPixelForm::Indexed : PngPixelForm::Rgb);
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        ASSERT_TRUE(WritePng(image, file));
        EXPECT_EQ(QImage::fromData(file.data(), "png").convertToFormat(QImage::Format_RGB32), image);
    }
}

} // namespace
