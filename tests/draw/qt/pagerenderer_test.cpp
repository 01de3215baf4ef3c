// Pages of a job rendered into images: the sheet, the printable area's corner, the
// resolution, any order, and a stopped job.
#include "canvas.h"

#include "draw/qt/pagerenderer.h"
#include "draw/drawingview.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace {

// A5 with margins of 10 mm on the left and 5 mm at the top: the printable area's corner.
std::unique_ptr<QPrinter> a5Printer()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setPageSize(QPageSize(QPageSize::A5));
    printer->setPageMargins(QMarginsF(10, 5, 10, 5), QPageLayout::Millimeter);
    return printer;
}

int dots(qreal mm, qreal dpi)
{
    return qRound(mm / 25.4 * dpi);
}

} // namespace

// Page 2, then page 1, at two resolutions: each 1 cm square lands where the printer would
// print it, counted from the printable area's corner on the whole sheet.
TEST(PageRenderer, RendersAnyPageAtAnyResolutionFromThePrintableCorner)
{
    DrawingView view;
    PageRenderer pages(view);
    ASSERT_EQ(pages.prepare("frectangle 0 0 100 100\r\npage\r\nfrectangle 200 0 300 100\r\n",
                            true, ""),
              2);
    pages.begin(*a5Printer());
    for (qreal dpi : {100.0, 200.0}) {
        for (int page : {2, 1}) {
            const QImage image = pages.render(page, dpi);
            ASSERT_FALSE(image.isNull());
            // A PDF printer's paper is whole points.
            EXPECT_NEAR(image.width(), dots(148, dpi), 2);
            EXPECT_NEAR(image.height(), dots(210, dpi), 2);
            const int left = page == 1 ? 10 : 30;
            const QRect ink = inkBounds(image);
            EXPECT_NEAR(ink.left(), dots(left, dpi), 1) << "page " << page << " at " << dpi;
            EXPECT_NEAR(ink.top(), dots(5, dpi), 1);
            EXPECT_NEAR(ink.width(), dots(10, dpi), 2);
        }
    }
    EXPECT_FALSE(pages.end());
}

// A page stopped by the hook gives no image, and so does every page after it.
TEST(PageRenderer, AStoppedJobRendersNothingMore)
{
    DrawingView view;
    PageRenderer pages(view);
    pages.prepare(":.x\r\n* 10 10 2000000000\r\npage\r\nfrectangle 0 0 100 100\r\n", true, "");
    pages.begin(*a5Printer());
    EXPECT_TRUE(pages.render(1, 50, [] { return true; }).isNull());
    EXPECT_TRUE(pages.render(2, 50).isNull());
    pages.end();
}
