// Lines, outlines, fills and arcs of the QPainter surface, checked on rendered pixels.
#include "canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr Color kRed = 0x0000FF; // red is the low byte
constexpr Color kBlue = 0xFF0000;

Pen thin(int style = PenSolid, Color color = 0)
{
    return Pen{style, 0, color};
}

} // namespace

TEST(QtSurfaceShapes, LinesHaveTheirLogicalSize)
{
    Canvas c(40, 20, 300);
    c.surface.Line(200, 200, 766, 200, thin());                 // 10 mm
    c.surface.Line(200, 700, 766, 700, Pen{PenWide, 57, 0}); // 1 mm wide, round ends
    const QImage &image = c.finish();

    const QRect thinInk = inkBounds(image, QRect(0, 0, image.width(), c.dots(450)));
    EXPECT_NEAR(thinInk.width(), 118, 1);
    EXPECT_LE(thinInk.height(), 2);
    const QRect wideInk = inkBounds(image, QRect(0, c.dots(450), image.width(), image.height()));
    EXPECT_NEAR(wideInk.height(), 12, 1);
    EXPECT_NEAR(wideInk.width(), 118 + 12, 2);
}

TEST(QtSurfaceShapes, BackgroundFillsTheGapsOfDashedOutlinesOnly)
{
    Canvas c(60, 40, 300);
    c.surface.FillSolidRect(0, 0, 300, 300, kRed);
    c.surface.Rectangle(400, 400, 2000, 1000, thin(PenDash, kBlue));
    c.surface.Line(400, 1400, 2000, 1400, thin(PenDash, kBlue));
    c.surface.StartPage(2, 600, 400);
    c.surface.Rectangle(400, 1800, 2000, 2200, thin(PenDash, kBlue));
    const QImage &image = c.finish();

    EXPECT_EQ(QColor(image.pixel(c.dots(150), c.dots(150))), QColor(Qt::red));
    auto count = [&](int y, QColor colour) {
        return countInRow(image, inkedRow(image, c.dots(y)), c.dots(500), c.dots(1900), colour);
    };
    EXPECT_GT(count(400, Qt::blue), 0);
    EXPECT_GT(count(400, Qt::red), 0) << "gaps in the colour of the last fill";
    EXPECT_EQ(count(400, Qt::white), 0);
    EXPECT_GT(count(1400, Qt::white), 0) << "gaps of lines are transparent";
    EXPECT_EQ(count(1400, Qt::red), 0);
    EXPECT_EQ(count(1800, Qt::red), 0) << "a new page starts with a white background";
}

TEST(QtSurfaceShapes, DashesKeepTheirLengthOnEveryDevice)
{
    // 20 mm of 1.2 mm dashes and 0.4 mm gaps: 12 whole periods and part of a dash.
    for (qreal dpi : {150.0, 600.0}) {
        Canvas c(30, 10, dpi);
        c.surface.Line(100, 300, 100 + 1134, 300, thin(PenDash));
        const QList<int> runs = inkRuns(c.finish(), inkedRow(c.image, c.dots(300)));
        ASSERT_EQ(runs.size(), 13) << dpi;
        EXPECT_NEAR(runs.first(), 1.2 * dpi / 25.4, 1.5) << dpi;
    }
    Canvas dots(30, 10, 600);
    dots.surface.Line(100, 300, 100 + 1134, 300, thin(PenDot));
    EXPECT_EQ(inkRuns(dots.finish(), inkedRow(dots.image, dots.dots(300))).size(), 50);

    // Only the visible part of a dashed outline is cut: this would otherwise take
    // hundreds of millions of dashes.
    Canvas huge(30, 10, 150);
    huge.surface.Line(INT_MIN, 300, INT_MAX, 300, thin(PenDashDot));
    huge.surface.Rectangle(INT_MIN, INT_MIN, INT_MAX, 100, thin(PenDashDotDot));
    EXPECT_GT(inkRuns(huge.finish(), inkedRow(huge.image, huge.dots(300))).size(), 10);
    EXPECT_GT(inkRuns(huge.image, inkedRow(huge.image, huge.dots(100))).size(), 10);
}

TEST(QtSurfaceShapes, ArcsRunCounterClockwiseFromStartToEnd)
{
    // The circle in (200, 200)-(1800, 1800); which quarters of it have ink.
    auto inked = [](Canvas &c) {
        const QImage &image = c.finish();
        const int mid = c.dots(1000);
        QString quarters;
        for (QRect q : {QRect(mid + 2, 0, mid, mid - 2), QRect(0, 0, mid - 2, mid - 2),
                        QRect(0, mid + 2, mid - 2, mid), QRect(mid + 2, mid + 2, mid, mid)})
            quarters += inkBounds(image, q).isEmpty() ? u'-' : u'x';
        return quarters; // upper right, upper left, lower left, lower right
    };
    Canvas arc(40, 40, 150); // from the rightmost to the topmost point
    arc.surface.Arc(200, 200, 1800, 1800, 1800, 1000, 1000, 200, thin());
    EXPECT_EQ(inked(arc), "x---");
    Canvas pie(40, 40, 150); // from the leftmost to the bottommost point
    pie.surface.Pie(200, 200, 1800, 1800, 200, 1000, 1000, 1800, kRed);
    EXPECT_EQ(inked(pie), "--x-");
    EXPECT_EQ(QColor(pie.image.pixel(pie.dots(700), pie.dots(1300))), QColor(Qt::red));
    Canvas circle(40, 40, 150); // equal rays: the whole ellipse
    circle.surface.Arc(200, 200, 1800, 1800, 1800, 1000, 1800, 1000, thin(PenDot));
    EXPECT_EQ(inked(circle), "xxxx");
}
