// The lines, filters and paths of the command insertion tools.
#include "insertiontools.h"

#include "engine/codepage.h"
#include "engine/filepaths.h"
#include "engine/pathmacro.h"
#include "engine/viewstate.h"
#include "image/imageloader.h"

#include <QColor>
#include <QStringList>

namespace {

// The patterns of one filter entry, each "*.ext" also in lower and upper case.
QStringList patternsOf(const QString &field)
{
    QStringList patterns;
    auto add = [&patterns](const QString &pattern) {
        if (!pattern.isEmpty() && !patterns.contains(pattern))
            patterns << pattern;
    };
    for (const QString &pattern : field.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        add(trimmed);
        if (trimmed.startsWith(QLatin1String("*."))) {
            add(trimmed.toLower());
            add(trimmed.toUpper());
        }
    }
    return patterns;
}

} // namespace

QString ColorCommandLine(const QColor &color)
{
    return QStringLiteral("color\t%1\t%2\t%3\n").arg(color.red()).arg(color.green()).arg(color.blue());
}

QString QtFileFilter(std::string_view windowsFilter)
{
    const QStringList fields =
        QString::fromStdString(cp932::ToUtf8(windowsFilter)).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].isEmpty())
            break; // the "||" that ends the list
        // Qt reads the patterns from the parentheses that end an entry: the patterns
        // field takes the place of those a description names itself ("ビットマップ
        // (*.bmp)").
        QString description = fields[i];
        const qsizetype open = description.lastIndexOf(QStringLiteral(" ("));
        if (description.endsWith(QLatin1Char(')')) && open > 0)
            description.truncate(open);
        entries << description + QStringLiteral(" (") +
                       patternsOf(fields[i + 1]).join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString ImageFileFilter(const ViewState &view)
{
    CImageLoader reader;
    reader.ScanPlugins(view.programFolder.empty() ? std::string()
                                                  : ToFileSystemPath(view.programFolder),
                       256);
    return QtFileFilter(reader.filterText());
}

QString CallFileFilter()
{
    return QtFileFilter(CP932("Zentova 印刷コマンド (*.zent)|*.zent||"));
}

QString PathCommandLine(ViewState &view, const QString &prefix, const QString &chosenPath,
                        const QString &documentPath)
{
    view.baseFolder =
        documentPath.isEmpty() ? std::string() : FolderOfPath(cp932::FromUtf8(documentPath.toStdString()));
    std::string path = cp932::FromUtf8(chosenPath.toStdString());
    AbbreviatePath(view, path);
    return prefix + QString::fromStdString(cp932::ToUtf8(path)) + QLatin1Char('\n');
}
