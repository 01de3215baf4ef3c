// A surface that notes, for every mark drawn through it, where it lies on the page and
// which line of the page's own text drew it, then passes the operation on.
#pragma once

#include "surface.h"

#include <cstddef>
#include <vector>

class CCommandEngine;

// One mark: its bounding box in logical units (left < right, top < bottom, the pen's
// width included) and the line of the page's own text that was running when it was drawn
// (PageLine: a `<` line for what a called file drew, a `*` line for every copy it drew).
struct Mark {
    int left = 0, top = 0, right = 0, bottom = 0;
    int line = 0;
};

// Put between a page run and its surface for one page at a time (PrintJob::PrintPage
// attaches it). Keeps at most kMaxMarks marks: a page that draws more (an endless run
// stopped by the job) keeps its first ones.
class MarkRecorder : public Surface {
public:
    static constexpr std::size_t kMaxMarks = 200000;

    // Draws on `target` from now on, crediting marks to the running line of `engine`.
    void Attach(Surface &target, const CCommandEngine &engine);
    // The marks of the page, in the order they were drawn; the recorder starts empty again.
    std::vector<Mark> TakeMarks();
    const std::vector<Mark> &marks() const { return m_marks; }

    void StartPage(int page, int paperWidth, int paperHeight) override;
    void Line(int x1, int y1, int x2, int y2, const Pen &pen) override;
    void Rectangle(int l, int t, int r, int b, const Pen &pen) override;
    void RoundRect(int l, int t, int r, int b, int ew, int eh, const Pen &pen,
                   std::optional<Color> brush) override;
    void FillSolidRect(int x, int y, int w, int h, Color color) override;
    void Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye, const Pen &pen) override;
    void Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye, Color color) override;
    void Ellipse(int l, int t, int r, int b, Color color) override;
    TextSize MeasureText(const FontSpec &font, std::string_view text) override;
    void DrawText(int l, int t, int r, int b, TextAlign align, const FontSpec &font, Color color,
                  std::string_view text) override;
    void TextOut(int x, int y, const FontSpec &font, Color color, std::string_view text) override;
    std::optional<FontInfo> FindFont(std::string_view face) override;
    void StretchPicture(const PictureSource &picture, const PicturePart &part, int x, int y,
                        int w, int h) override;
    void CornerMask(int x, int y, int size, Corner corner) override;

private:
    // Notes the box between the two corners, widened by `pen` logical units on each side.
    void note(long long x1, long long y1, long long x2, long long y2, long long pen = 0);

    Surface *m_target = nullptr;
    const CCommandEngine *m_engine = nullptr;
    std::vector<Mark> m_marks;
};
