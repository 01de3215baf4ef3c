// Dialog units from the dialog font's metrics.
#include "dialogunits.h"

#include "draw/qt/fontresolver.h"

#include <QApplication>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// a × b / c rounded half away from zero, as the platform's MulDiv does.
int mulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

} // namespace

QFont DialogFont(std::string_view face, int points)
{
    QFont font = QApplication::font();
    if (std::optional<ResolvedFace> resolved = FontResolver::shared().resolve(face))
        font.setFamilies({resolved->family});
    font.setPointSize(points);
    font.setBold(false);
    font.setItalic(false);
    return font;
}

// The average width is measured over the 52 Latin letters and rounded, the height is the
// font's cell height: the two base units a dialog is laid out with.
DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = std::max(1, (letters / 26 + 1) / 2);
    m_baseHeight = std::max(1, metrics.height());
}

int DialogUnits::x(int du) const
{
    return mulDiv(du, m_baseWidth, 4);
}

int DialogUnits::y(int du) const
{
    return mulDiv(du, m_baseHeight, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    // Both edges are converted, as the platform maps a dialog rectangle.
    return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
}

QSize DialogUnits::size(int width, int height) const
{
    return QSize(x(width), y(height));
}
