// The benchmark form through QPainter alone.
#include "directpdf.h"

#include "formgen.h"

#include "engine/codepage.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr int kResolution = 1200;

int logical(int pageUnits)
{
    return static_cast<int>(pageUnits * 5.669291338582677);
}

} // namespace

int WriteFormWithQPainter(const char *path, int pages, bool kanji)
{
    QPdfWriter writer(QString::fromUtf8(path));
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    QPainter painter(&writer);
    painter.scale(kResolution / 1440.0, kResolution / 1440.0);
    QPen pen(Qt::black, 0);
    pen.setCosmetic(true);
    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(240);
    font.setHintingPreference(QFont::PreferNoHinting);
    const qreal ascent = QFontMetricsF(font).ascent();
    const std::vector<formgen::Rule> rules = formgen::PageRules();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            writer.newPage();
        painter.setPen(pen);
        for (const formgen::Rule &r : rules)
            painter.drawLine(logical(r.x1), logical(r.y1), logical(r.x2), logical(r.y2));
        painter.setFont(font);
        for (const formgen::Label &label : formgen::PageLabels(page, kanji))
            painter.drawText(QPointF(logical(label.x), logical(label.y) + ascent),
                             QString::fromStdString(cp932::ToUtf8(label.text)));
    }
    return painter.end() ? 0 : 2;
}
