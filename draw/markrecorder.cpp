// The recording surface: bounding boxes of the marks and the lines that drew them.
#include "markrecorder.h"

#include "engine/engine.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int clampToInt(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

void MarkRecorder::Attach(Surface &target, const CCommandEngine &engine)
{
    m_target = &target;
    m_engine = &engine;
}

std::vector<Mark> MarkRecorder::TakeMarks()
{
    std::vector<Mark> marks;
    marks.swap(m_marks);
    return marks;
}

void MarkRecorder::note(long long x1, long long y1, long long x2, long long y2, long long pen)
{
    if (m_marks.size() >= kMaxMarks)
        return;
    Mark mark;
    mark.left = clampToInt(std::min(x1, x2) - pen);
    mark.top = clampToInt(std::min(y1, y2) - pen);
    mark.right = clampToInt(std::max(x1, x2) + pen);
    mark.bottom = clampToInt(std::max(y1, y2) + pen);
    mark.line = m_engine ? m_engine->PageLine() : 0;
    m_marks.push_back(mark);
}

void MarkRecorder::StartPage(int page, int paperWidth, int paperHeight)
{
    m_marks.clear();
    m_target->StartPage(page, paperWidth, paperHeight);
}

void MarkRecorder::Line(int x1, int y1, int x2, int y2, const Pen &pen)
{
    note(x1, y1, x2, y2, pen.width / 2);
    m_target->Line(x1, y1, x2, y2, pen);
}

void MarkRecorder::Rectangle(int l, int t, int r, int b, const Pen &pen)
{
    note(l, t, r, b, pen.width / 2);
    m_target->Rectangle(l, t, r, b, pen);
}

void MarkRecorder::RoundRect(int l, int t, int r, int b, int ew, int eh, const Pen &pen,
                             std::optional<Color> brush)
{
    note(l, t, r, b, pen.width / 2);
    m_target->RoundRect(l, t, r, b, ew, eh, pen, brush);
}

void MarkRecorder::FillSolidRect(int x, int y, int w, int h, Color color)
{
    note(x, y, static_cast<long long>(x) + w, static_cast<long long>(y) + h);
    m_target->FillSolidRect(x, y, w, h, color);
}

void MarkRecorder::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye, const Pen &pen)
{
    note(l, t, r, b, pen.width / 2);
    m_target->Arc(l, t, r, b, xs, ys, xe, ye, pen);
}

void MarkRecorder::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye, Color color)
{
    note(l, t, r, b);
    m_target->Pie(l, t, r, b, xs, ys, xe, ye, color);
}

void MarkRecorder::Ellipse(int l, int t, int r, int b, Color color)
{
    note(l, t, r, b);
    m_target->Ellipse(l, t, r, b, color);
}

TextSize MarkRecorder::MeasureText(const FontSpec &font, std::string_view text)
{
    return m_target->MeasureText(font, text);
}

void MarkRecorder::DrawText(int l, int t, int r, int b, TextAlign align, const FontSpec &font,
                            Color color, std::string_view text)
{
    note(l, t, r, b);
    m_target->DrawText(l, t, r, b, align, font, color, text);
}

void MarkRecorder::TextOut(int x, int y, const FontSpec &font, Color color, std::string_view text)
{
    // The text's box as measured, turned by the escapement about (x, y); y grows downwards,
    // so a counter-clockwise turn takes the baseline upwards.
    const TextSize size = m_target->MeasureText(font, text);
    const double angle = font.escapement / 10.0 * 3.14159265358979323846 / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    const double corners[3][2] = {{double(size.width), 0},
                                  {double(size.width), double(size.height)},
                                  {0, double(size.height)}};
    for (const auto &p : corners) {
        const double px = p[0] * c + p[1] * s;
        const double py = -p[0] * s + p[1] * c;
        minX = std::min(minX, px);
        maxX = std::max(maxX, px);
        minY = std::min(minY, py);
        maxY = std::max(maxY, py);
    }
    note(x + std::llround(minX), y + std::llround(minY), x + std::llround(maxX),
         y + std::llround(maxY));
    m_target->TextOut(x, y, font, color, text);
}

std::optional<FontInfo> MarkRecorder::FindFont(std::string_view face)
{
    return m_target->FindFont(face);
}

void MarkRecorder::StretchPicture(const PictureSource &picture, const PicturePart &part, int x,
                                  int y, int w, int h)
{
    note(x, y, static_cast<long long>(x) + w, static_cast<long long>(y) + h);
    m_target->StretchPicture(picture, part, x, y, w, h);
}

void MarkRecorder::CornerMask(int x, int y, int size, Corner corner)
{
    // Part of the picture just drawn, whose box holds it already.
    m_target->CornerMask(x, y, size, corner);
}
