// Text of the QPainter surface: faces, device-independent metrics, sideways writing.
#include "canvas.h"

#include "engine/codepage.h"

#include <QBuffer>
#include <QPdfWriter>

#include <gtest/gtest.h>

namespace {

// Draws `utf8` in "@ＭＳ 明朝" running down from (400, 400); its ink and, through
// `block`, the block it was drawn in, both in logical units.
QRectF drawnSideways(const char *utf8, QRectF *block = nullptr)
{
    Canvas c(30, 105, 600);
    const FontSpec spec = MakeFont("@ＭＳ 明朝", 300);
    const std::string text = cp932::FromUtf8(utf8);
    const TextSize size = c.surface.MeasureText(spec, text);
    c.surface.DrawText(400 + size.height, 400, 400, 400 + size.width, TextAlign::Left, spec, 0,
                       text);
    if (block)
        *block = QRectF(400, 400, size.height, size.width);
    const QRect ink = inkBounds(c.finish());
    return QRectF(c.logical(ink.left()), c.logical(ink.top()), c.logical(ink.width()),
                  c.logical(ink.height()));
}

} // namespace

TEST(QtSurfaceText, MeasuresTheSameOnEveryDevice)
{
    QImage low(100, 100, QImage::Format_RGB32), high(400, 400, QImage::Format_RGB32);
    QBuffer pdfData;
    pdfData.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&pdfData);
    QPainter lowPainter(&low), highPainter(&high), pdfPainter(&pdf);
    QtSurface measuring(nullptr, 1440, 1440);
    QtSurface lowSurface(&lowPainter, 150, 150), highSurface(&highPainter, 600, 600);
    QtSurface pdfSurface(&pdfPainter, pdf.resolution(), pdf.resolution());

    for (const FontSpec &spec : {MakeFont("ＭＳ 明朝"), MakeFont("ＭＳ Ｐゴシック", 95, 700),
                                 MakeFont("DejaVu Sans", 333, 400, true)}) {
        for (const char *utf8 : {"漢字かなABC", "Ａ\r\n縦書き、です。", "Width 1234.5"}) {
            const std::string text = cp932::FromUtf8(utf8);
            const TextSize expected = measuring.MeasureText(spec, text);
            for (QtSurface *surface : {&lowSurface, &highSurface, &pdfSurface}) {
                const TextSize size = surface->MeasureText(spec, text);
                EXPECT_EQ(size.width, expected.width) << utf8;
                EXPECT_EQ(size.height, expected.height) << utf8;
            }
        }
    }

    // 12 pt IPA Mincho: an em of 240, lines of ascent 211 + descent 53.
    const FontSpec mincho = MakeFont("ＭＳ 明朝");
    const TextSize twoLines = measuring.MeasureText(mincho, cp932::FromUtf8("A\r\n漢字"));
    EXPECT_EQ(twoLines.width, 480);
    EXPECT_EQ(twoLines.height, 2 * 264);
    EXPECT_EQ(measuring.MeasureText(mincho, "").width, 0);
    EXPECT_EQ(measuring.MeasureText(mincho, "").height, 264);
}

TEST(QtSurfaceText, SidewaysTextRunsDownItsBlock)
{
    QRectF block;
    const QRectF ink = drawnSideways("縦書き、テスト。ABC", &block);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(block.adjusted(-3, -3, 3, 3).contains(ink));
    EXPECT_GT(ink.height(), 0.9 * block.height());
    // The first character is at the top of the block.
    EXPECT_LT(ink.top(), block.top() + block.height() / 8);
}

TEST(QtSurfaceText, SidewaysFacesStandFullWidthCharactersUpright)
{
    // 一 upright is a horizontal stroke; a half-width "-" lies along the line, down the page.
    const QRectF one = drawnSideways("一"), hyphen = drawnSideways("-");
    EXPECT_GT(one.width(), 4 * one.height());
    EXPECT_GT(hyphen.height(), 2 * hyphen.width());
    // Vertical forms: ー runs down, 。 sits at the upper right of its cell.
    const QRectF bar = drawnSideways("ー");
    EXPECT_GT(bar.height(), 4 * bar.width());
    QRectF cell;
    const QRectF stop = drawnSideways("。", &cell);
    EXPECT_GT(stop.center().x(), cell.center().x());
    EXPECT_LT(stop.center().y(), cell.center().y());
}

TEST(QtSurfaceText, TextOutTurnsAboutTheTopLeftOfItsFirstCell)
{
    // A quarter turn counter-clockwise: the line runs up from (1000, 1500) and its cells
    // lie to the right of that point.
    Canvas c(40, 40, 150);
    FontSpec spec = MakeFont("ＭＳ 明朝");
    spec.escapement = 900;
    const TextSize size = c.surface.MeasureText(spec, "ABCDEF");
    c.surface.TextOut(1000, 1500, spec, 0, "ABCDEF");
    const QRect ink = inkBounds(c.finish());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(QPoint(c.dots(1000), c.dots(1500 - size.width)),
                      QPoint(c.dots(1000 + size.height), c.dots(1500)))
                    .adjusted(-1, -1, 1, 1)
                    .contains(ink));
    EXPECT_GT(ink.height(), 0.8 * c.dots(size.width));
}

TEST(QtSurfaceText, BoldThickensFacesWithoutABoldStyle)
{
    // The IPA faces have no bold style; bold must still show, at a sensible weight.
    auto darkPixels = [](int weight) {
        Canvas c(30, 10, 300);
        const FontSpec spec = MakeFont("ＭＳ 明朝", 200, weight);
        c.surface.DrawText(100, 100, 2000, 600, TextAlign::Left, spec, 0, cp932::FromUtf8("漢字"));
        const QImage &image = c.finish();
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        return double(dark);
    };
    const double regular = darkPixels(400);
    EXPECT_GT(darkPixels(700) / regular, 1.15);
    EXPECT_LT(darkPixels(700) / regular, 1.7);
}
