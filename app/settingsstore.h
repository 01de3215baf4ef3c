// Every value the program keeps between runs, read and written in one place.
#pragma once

#include "engine/viewstate.h"

#include <QSettings>
#include <QString>
#include <QStringList>

#include <utility>

// The "Settings" group of the store QSettings("Tirsel Applications", "Zentova") (an INI
// file under the user's configuration folder). An absent value, or one of the wrong type,
// reads as its default (0 or ""); readers clamp what they read. Every write is flushed at
// once so that a crash loses nothing.
class SettingsStore : public Profile {
public:
    static constexpr int kAdjustMinimum = -100; // 0.1 mm: 10 mm to the left or upwards
    static constexpr int kAdjustMaximum = 0;

    SettingsStore();
    Q_DISABLE_COPY(SettingsStore)

    // The interpreter's reading of an integer value; "adjustX" and "adjustY" come back
    // clamped to -100..0.
    int ReadInt(std::string_view name, int defaultValue) const override;

    // Print-position adjustment in 0.1 mm, each -100..0.
    int adjustX() const;
    int adjustY() const;
    void setAdjust(int adjustX, int adjustY);

    // The main window's size in pixels; -1 for both means it was maximized, 0 unknown.
    int windowWidth() const;
    int windowHeight() const;
    void setWindowSize(int width, int height);

    // The live preview beside the editor: whether it is shown, and its width in pixels
    // (0: not known).
    bool livePreviewShown() const;
    int livePreviewWidth() const;
    void setLivePreview(bool shown, int width);

    // Folders with a trailing "/" where the file dialogs start.
    QString zentPath() const;    // File Open
    QString picturePath() const; // the image insertion tool
    QString callPath() const;    // the call-file insertion tool
    void setZentPath(const QString &folder);
    void setPicturePath(const QString &folder);
    void setCallPath(const QString &folder);

    // The recent-file list of the File menu: absolute paths, newest first, at most
    // kRecentFiles. It lives beside the "Settings" group, in "Recent File List" as
    // "File1" to "File5".
    static constexpr int kRecentFiles = 5;
    QStringList recentFiles() const;
    // Puts `path` at the top, moving it when it is listed; the oldest entry beyond
    // kRecentFiles falls off.
    void addRecentFile(const QString &path);
    void removeRecentFile(const QString &path);
    // The data file of merge printing chosen for the command file `documentPath` ("" for
    // none). Kept in "Merge Data" for the kMergeDocuments documents chosen for last.
    static constexpr int kMergeDocuments = 50;
    QString mergeDataFor(const QString &documentPath) const;
    // Remembers `dataPath` for `documentPath`; "" forgets the document's choice.
    void setMergeDataFor(const QString &documentPath, const QString &dataPath);

    // The folder of `filePath` with a trailing "/", as the *Path values hold it.
    static QString FolderOf(const QString &filePath);

private:
    int readInt(const QString &name, int defaultValue) const;
    QString readString(const QString &name) const;
    void write(const QString &name, const QVariant &value);
    void writeRecentFiles(const QStringList &paths);
    // (document, data file) pairs of "Merge Data", the latest first.
    QList<std::pair<QString, QString>> mergeChoices() const;

    mutable QSettings m_settings; // opened once: every page's engine reads the adjustment
};
