// Dialog layouts given in dialog units, as the program's dialogs are described: a
// horizontal unit is a quarter of the dialog font's average character width, a vertical
// unit an eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include <string_view>

// The font of a dialog: `face` is a Windows face name in code page 932 ("ＭＳ ゴシック"),
// resolved through the program's face aliases to an installed family; `points` its size.
// Without such a family the application's font at that size is used.
QFont DialogFont(std::string_view face, int points);

// Converts dialog units of one font to pixels, rounding as Windows does.
class DialogUnits {
public:
    explicit DialogUnits(const QFont &font);

    int x(int du) const;
    int y(int du) const;
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

    int baseWidth() const { return m_baseWidth; }   // average character width, pixels
    int baseHeight() const { return m_baseHeight; } // character height, pixels

private:
    int m_baseWidth;
    int m_baseHeight;
};
