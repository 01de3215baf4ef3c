// Pictures drawn by the QPainter surface: turns and mirrorings, file and clipboard
// pictures alike, rounded corners. Read back from the rendered pixels.
#include "canvas.h"

#include "image/imagefixtures.h"
#include "support/tempfolder.h"

#include "draw/drawingview.h"
#include "draw/pagedrawing.h"
#include "draw/qt/intermediate.h"
#include "draw/units.h"
#include "engine/codepage.h"
#include "engine/engine.h"
#include "engine/textlines.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A 40 × 40 picture of four quadrants.
constexpr QRgb kTopLeft = 0xFFFF0000, kTopRight = 0xFF00FF00, kBottomLeft = 0xFF0000FF,
               kBottomRight = 0xFF000000;

QRgb Quadrant(int x, int y)
{
    if (y < 20)
        return x < 20 ? kTopLeft : kTopRight;
    return x < 20 ? kBottomLeft : kBottomRight;
}

// Runs the page `utf8Commands` with the drawing commands on `canvas`.
void RunOn(Canvas &canvas, DrawingView &view, const std::string &utf8Commands)
{
    PageDrawing drawing(canvas.surface, view);
    CCommandEngine engine(view, &drawing);
    engine.recordErrors = true;
    engine.RunPage(PageIndex(NormalizeLineEnds(cp932::FromUtf8(utf8Commands))), 1);
}

// Runs `commands` on a 30 × 30 mm canvas at 150 dpi with the quadrant picture in slot 0
// and as quadrants.bmp in the base folder; returns the colours of the four quadrants of
// the drawn 600 × 600 logical-unit box at the origin (top-left, top-right, bottom-left,
// bottom-right).
std::array<QRgb, 4> Drawn(const std::string &commands, QImage *image = nullptr)
{
    TempFolder dir;
    dir.write("quadrants.bmp", fixtures::Bmp24(40, 40, [](int x, int y) { return Quadrant(x, y) & 0xFFFFFF; }));
    DrawingView view;
    view.baseFolder = dir.path();
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            pixels.push_back(Quadrant(x, y));
    view.clipSlots.Fill(0, 40, 40, pixels);

    Canvas c(30, 30, 150);
    RunOn(c, view, commands);
    EXPECT_TRUE(view.errorText.empty()) << cp932::ToUtf8(view.errorText.str());
    const QImage &drawn = c.finish();
    if (image)
        *image = drawn;
    auto at = [&](int lx, int ly) { return drawn.pixel(c.dots(lx), c.dots(ly)); };
    return {at(150, 150), at(450, 150), at(150, 450), at(450, 450)};
}

using Q = std::array<QRgb, 4>;

// Every direction turns or mirrors the picture, and a file picture draws like the same
// picture from a clipboard slot.
TEST(QtSurfacePictures, DirectionsTurnAndMirrorThePicture)
{
    const QRgb TL = kTopLeft, TR = kTopRight, BL = kBottomLeft, BR = kBottomRight;
    // "3" is upside down and right-left reversed, "-3" upside down only, "-1" reversed
    // only; "2" a quarter turn counter-clockwise (the top edge on the left), "4" clockwise;
    // "-2" and "-4" mirror those across.
    for (const auto &[direction, quadrants] :
         {std::pair{"", Q{TL, TR, BL, BR}}, {"3", Q{BR, BL, TR, TL}}, {"-3", Q{BL, BR, TL, TR}},
          {"-1", Q{TR, TL, BR, BL}}, {"2", Q{TR, BR, TL, BL}}, {"4", Q{BL, TL, BR, TR}},
          {"-2", Q{BR, TR, BL, TL}}, {"-4", Q{TL, BL, TR, BR}}}) {
        const std::string psize = *direction ? std::string("psize 0 0 0 ") + direction + "\n" : "";
        EXPECT_EQ(Drawn(psize + "!0"), quadrants) << direction;
        EXPECT_EQ(Drawn(psize + "!%With%quadrants.bmp"), quadrants) << direction;
    }
    // Partly left of the paper's surroundings, both show the same columns.
    QImage file, clip;
    Drawn("position -110 0\n!%With%quadrants.bmp", &file);
    Drawn("position -110 0\n!0", &clip);
    EXPECT_EQ(file, clip);
}

TEST(QtSurfacePictures, RoundedCornersTakeTheBackgroundColour)
{
    QImage image;
    Drawn("psize 106 106 30\n!0", &image); // 600 logical units, radius 170
    EXPECT_EQ(image.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image.pixel(10, 10), kTopLeft);
    Drawn("color 0 0 255\nfrectangle 200 200 201 201\npsize 106 106 30\n!0", &image);
    EXPECT_EQ(image.pixel(0, 0), 0xFF0000FFu);
}

// At every resolution the corner paint covers the dots along the box's outer edges too:
// no faint line of the picture's colour is left outside the rounded corners, wherever
// the box's edges fall between two dots.
TEST(QtSurfacePictures, RoundedCornersLeaveNoPictureOutsideTheCurve)
{
    struct Placement {
        int x, y, w, h, r; // page units
    };
    for (const Placement p : {Placement{86, 109, 344, 240, 50}, Placement{123, 157, 333, 217, 41}})
        for (const int dpi : {72, 100, 120, 150, 200, 300}) {
            SCOPED_TRACE(testing::Message() << dpi << " dpi, x " << p.x);
            DrawingView view;
            view.clipSlots.Fill(0, 16, 16, std::vector<std::uint32_t>(16 * 16, 0xFF203040));
            Canvas c(50, 50, dpi);
            RunOn(c, view, "position " + std::to_string(p.x) + " " + std::to_string(p.y) +
                               "\npsize " + std::to_string(p.w) + " " + std::to_string(p.h) +
                               " " + std::to_string(p.r) + "\n!0");
            const QImage &image = c.finish();
            const qreal x = ToLogical(p.x), y = ToLogical(p.y), w = ToLogical(p.w), h = ToLogical(p.h),
                        r = ToLogical(p.r), scale = dpi / 1440.0;
            // Every dot of a corner square that lies wholly outside its corner's disc.
            int checked = 0;
            for (const auto &[left, top] :
                 {std::pair{true, true}, {false, true}, {true, false}, {false, false}}) {
                const QRectF square(left ? x : x + w - r, top ? y : y + h - r, r, r);
                const QPointF centre(left ? x + r : x + w - r, top ? y + r : y + h - r);
                for (int py = int(square.top() * scale); py <= int(square.bottom() * scale); ++py)
                    for (int px = int(square.left() * scale); px <= int(square.right() * scale); ++px) {
                        const qreal nx = std::clamp(centre.x(), px / scale, (px + 1) / scale);
                        const qreal ny = std::clamp(centre.y(), py / scale, (py + 1) / scale);
                        if (std::hypot(nx - centre.x(), ny - centre.y()) <= r)
                            continue;
                        ++checked;
                        ASSERT_EQ(image.pixel(px, py), 0xFFFFFFFFu) << "dot " << px << ", " << py;
                    }
            }
            EXPECT_GT(checked, 8);
        }
}

// A large picture reduced for its intermediate is decoded band by band: the result has
// the picture's content where it belongs and no row left out between two bands.
TEST(QtSurfacePictures, LargePicturesAreReducedBandByBand)
{
    constexpr int kWidth = 2100, kHeight = 2000; // more pixels than one band holds
    const std::string file = fixtures::Bmp24(kWidth, kHeight, [](int x, int y) {
        return y < kHeight / 2 ? (x < kWidth / 2 ? 0xFF0000u : 0x00FF00u) : 0x0000FFu;
    });
    const std::vector<unsigned char> info(file.begin() + 14, file.begin() + 54);
    const auto *bits = reinterpret_cast<const unsigned char *>(file.data()) + 54;
    PictureSource source;
    source.width = kWidth;
    source.height = kHeight;
    source.bitmapInfo = &info;
    source.bits = bits;
    source.bitsSize = file.size() - 54;
    PicturePart part;
    part.uw = kWidth;
    part.vh = kHeight;
    part.iw = 210;
    part.ih = 200;
    const QImage reduced = IntermediatePicture(source, part);
    ASSERT_EQ(reduced.size(), QSize(210, 200));
    EXPECT_EQ(reduced.pixel(50, 50), 0xFFFF0000);
    EXPECT_EQ(reduced.pixel(160, 50), 0xFF00FF00);
    EXPECT_EQ(reduced.pixel(100, 150), 0xFF0000FF);
    for (int y = 0; y < reduced.height(); ++y)
        EXPECT_NE(reduced.pixel(5, y), 0xFFFFFFFF) << "row " << y;
}

} // namespace
