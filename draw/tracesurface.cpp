// The tracing surface: one line of text per drawing operation.
#include "tracesurface.h"

#include "engine/codepage.h"

#include <cstdio>

namespace {

// RRGGBB of a colour whose red is in the low byte.
std::string hex(Color c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF,
                  (c >> 16) & 0xFF);
    return buffer;
}

std::string pen(const Pen &p)
{
    return "pen=" + std::to_string(p.style) + "," + std::to_string(p.width) + "," + hex(p.color);
}

// Code page 932 text as a double-quoted UTF-8 string; a CR LF line break is written \n.
std::string quoted(std::string_view cp932Text)
{
    std::string utf8 = cp932::ToUtf8(cp932Text);
    std::string out = "\"";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            out += "\\n";
            ++i;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string font(const FontSpec &f)
{
    return "font=" + quoted(f.face) + "," + std::to_string(f.height) + "," +
           std::to_string(f.weight) + "," + (f.italic ? "1" : "0") + "," +
           std::to_string(f.escapement);
}

} // namespace

void TraceSurface::StartPage(int page, int paperWidth, int paperHeight)
{
    m_out << "page " << page << " paper " << paperWidth << ' ' << paperHeight << '\n';
    m_background = 0xFFFFFF;
    m_target.StartPage(page, paperWidth, paperHeight);
}

void TraceSurface::Line(int x1, int y1, int x2, int y2, const Pen &p)
{
    m_out << "line " << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2 << ' ' << pen(p) << '\n';
    m_target.Line(x1, y1, x2, y2, p);
}

void TraceSurface::Rectangle(int l, int t, int r, int b, const Pen &p)
{
    m_out << "rect " << l << ' ' << t << ' ' << r << ' ' << b << ' ' << pen(p)
          << " brush=none\n";
    m_target.Rectangle(l, t, r, b, p);
}

void TraceSurface::RoundRect(int l, int t, int r, int b, int ew, int eh, const Pen &p,
                             std::optional<Color> brush)
{
    m_out << "roundrect " << l << ' ' << t << ' ' << r << ' ' << b << ' ' << ew << ' ' << eh
          << ' ' << pen(p) << " brush=" << (brush ? hex(*brush) : "none") << '\n';
    m_target.RoundRect(l, t, r, b, ew, eh, p, brush);
}

void TraceSurface::FillSolidRect(int x, int y, int w, int h, Color color)
{
    m_out << "fillrect " << x << ' ' << y << ' ' << w << ' ' << h << ' ' << hex(color) << '\n';
    m_background = color;
    m_target.FillSolidRect(x, y, w, h, color);
}

void TraceSurface::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye, const Pen &p)
{
    m_out << "arc " << l << ' ' << t << ' ' << r << ' ' << b << ' ' << xs << ' ' << ys << ' '
          << xe << ' ' << ye << ' ' << pen(p) << '\n';
    m_target.Arc(l, t, r, b, xs, ys, xe, ye, p);
}

void TraceSurface::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye, Color color)
{
    m_out << "pie " << l << ' ' << t << ' ' << r << ' ' << b << ' ' << xs << ' ' << ys << ' '
          << xe << ' ' << ye << " brush=" << hex(color) << '\n';
    m_target.Pie(l, t, r, b, xs, ys, xe, ye, color);
}

void TraceSurface::Ellipse(int l, int t, int r, int b, Color color)
{
    m_out << "ellipse " << l << ' ' << t << ' ' << r << ' ' << b << " brush=" << hex(color)
          << '\n';
    m_target.Ellipse(l, t, r, b, color);
}

TextSize TraceSurface::MeasureText(const FontSpec &f, std::string_view text)
{
    return m_target.MeasureText(f, text);
}

void TraceSurface::DrawText(int l, int t, int r, int b, TextAlign align, const FontSpec &f,
                            Color color, std::string_view text)
{
    m_out << "text " << l << ' ' << t << ' ' << r << ' ' << b << ' '
          << (align == TextAlign::Center ? "center" : "left") << ' ' << font(f)
          << " color=" << hex(color) << ' ' << quoted(text) << '\n';
    m_target.DrawText(l, t, r, b, align, f, color, text);
}

void TraceSurface::TextOut(int x, int y, const FontSpec &f, Color color, std::string_view text)
{
    m_out << "textout " << x << ' ' << y << ' ' << font(f) << " color=" << hex(color) << ' '
          << quoted(text) << '\n';
    m_target.TextOut(x, y, f, color, text);
}

std::optional<FontInfo> TraceSurface::FindFont(std::string_view face)
{
    return m_target.FindFont(face);
}

void TraceSurface::StretchPicture(const PictureSource &picture, const PicturePart &part, int x,
                                  int y, int w, int h)
{
    m_out << "image " << x << ' ' << y << ' ' << w << ' ' << h << " src=" << part.u0 << ','
          << part.v0 << ',' << part.uw << ',' << part.vh << " turn=" << (part.turn ? 1 : 0)
          << " picture=" << picture.width << 'x' << picture.height << " scaled=" << part.iw
          << 'x' << part.ih << '\n';
    m_target.StretchPicture(picture, part, x, y, w, h);
}

void TraceSurface::CornerMask(int x, int y, int size, Corner corner)
{
    m_out << "corner " << x << ' ' << y << ' ' << size << ' ' << hex(m_background) << '\n';
    m_target.CornerMask(x, y, size, corner);
}
