// Reading the folders of the path macros from the desktop standards.
#include "userfolders.h"

#include "engine/codepage.h"
#include "engine/viewstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {

// A folder in the encoding of command files, ending with the separator.
std::string FolderText(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    QString path = QDir::cleanPath(folder);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return cp932::FromUtf8(path.toStdString());
}

std::string StandardFolder(QStandardPaths::StandardLocation location)
{
    return FolderText(QStandardPaths::writableLocation(location));
}

} // namespace

void ReadUserFolders(ViewState &view)
{
    view.desktopFolder = StandardFolder(QStandardPaths::DesktopLocation);
    view.documentsFolder = StandardFolder(QStandardPaths::DocumentsLocation);
    view.picturesFolder = StandardFolder(QStandardPaths::PicturesLocation);
    const QDir program(QCoreApplication::applicationDirPath());
    view.programFolder = FolderText(program.absolutePath());
    QDir parent = program;
    view.programFilesFolder = parent.cdUp() ? FolderText(parent.absolutePath()) : std::string();
}
