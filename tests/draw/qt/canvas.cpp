// An image drawn on through the QPainter surface, and what the tests read back from it.
#include "canvas.h"

#include "engine/codepage.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Fonts and painting need a QGuiApplication; without a display, the offscreen platform.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "qt_surface_tests";
        static char *argv[] = {name, nullptr};
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] ::testing::Environment *const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

QImage whiteImage(qreal width, qreal height)
{
    QImage image(qRound(width), qRound(height), QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

bool isInk(QRgb p)
{
    return qRed(p) < 240 || qGreen(p) < 240 || qBlue(p) < 240;
}

} // namespace

Canvas::Canvas(qreal widthMm, qreal heightMm, qreal dpi)
    : dpi(dpi), image(whiteImage(widthMm * dpi / 25.4, heightMm * dpi / 25.4)),
      painter(&image), surface(&painter, dpi, dpi)
{
}

const QImage &Canvas::finish()
{
    if (painter.isActive())
        painter.end();
    return image;
}

FontSpec MakeFont(const char *utf8Face, int height, int weight, bool italic)
{
    FontSpec spec;
    spec.face = cp932::FromUtf8(utf8Face);
    spec.height = height;
    spec.weight = weight;
    spec.italic = italic;
    spec.escapement = spec.face[0] == '@' ? 2700 : 0;
    return spec;
}

QRect inkBounds(const QImage &image, QRect area)
{
    QRect ink;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (isInk(image.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

int inkedRow(const QImage &image, int y)
{
    int best = y, most = -1;
    for (int row = std::max(0, y - 2); row <= std::min(image.height() - 1, y + 2); ++row) {
        const int ink = image.width() - countInRow(image, row, 0, image.width() - 1, Qt::white);
        if (ink > most) {
            most = ink;
            best = row;
        }
    }
    return best;
}

int countInRow(const QImage &image, int y, int x0, int x1, QColor colour)
{
    int count = 0;
    for (int x = x0; x <= x1; ++x)
        count += image.pixel(x, y) == colour.rgb();
    return count;
}

QList<int> inkRuns(const QImage &image, int y)
{
    QList<int> runs;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool ink = isInk(image.pixel(x, y));
        if (ink && !inRun)
            runs.append(0);
        if (ink)
            ++runs.last();
        inRun = ink;
    }
    return runs;
}
