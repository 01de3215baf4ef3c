// The settings store over QSettings.
#include "settingsstore.h"

#include <QFileInfo>

#include <algorithm>

namespace {

const QString kAdjustX = QStringLiteral("adjustX");
const QString kAdjustY = QStringLiteral("adjustY");
const QString kWndWidth = QStringLiteral("wndWidth");
const QString kWndHeight = QStringLiteral("wndHeight");
const QString kZentPath = QStringLiteral("zentPath");
const QString kPicturePath = QStringLiteral("picturePath");
const QString kCallPath = QStringLiteral("callPath");
const QString kLivePreview = QStringLiteral("livePreview");
const QString kLivePreviewWidth = QStringLiteral("livePreviewWidth");
const QString kSettingsGroup = QStringLiteral("Settings");
const QString kRecentGroup = QStringLiteral("Recent File List");

// Each command file with a data file for merge printing: "Document1" and "Data1" for
// the latest choice, "Document2" and "Data2" for the one before, and so on.
const QString kMergeGroup = QStringLiteral("Merge Data");

QString recentKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

int clampAdjust(int value)
{
    return std::clamp(value, SettingsStore::kAdjustMinimum, SettingsStore::kAdjustMaximum);
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova"))
{
    m_settings.beginGroup(kSettingsGroup);
}

int SettingsStore::readInt(const QString &name, int defaultValue) const
{
    const QVariant value = m_settings.value(name);
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    // An INI file gives strings; "12abc", "1.5" and lists are of the wrong type.
    const int number = value.toString().trimmed().toInt(&ok);
    return ok ? number : defaultValue;
}

QString SettingsStore::readString(const QString &name) const
{
    const QVariant value = m_settings.value(name);
    // A value written as a list ("a, b" without quotes) is not a folder.
    if (value.typeId() != QMetaType::QString)
        return QString();
    return value.toString();
}

void SettingsStore::write(const QString &name, const QVariant &value)
{
    m_settings.setValue(name, value);
    m_settings.sync();
}

int SettingsStore::ReadInt(std::string_view name, int defaultValue) const
{
    const QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (key == kAdjustX || key == kAdjustY)
        return clampAdjust(readInt(key, 0));
    return readInt(key, defaultValue);
}

int SettingsStore::adjustX() const
{
    return clampAdjust(readInt(kAdjustX, 0));
}

int SettingsStore::adjustY() const
{
    return clampAdjust(readInt(kAdjustY, 0));
}

void SettingsStore::setAdjust(int adjustX, int adjustY)
{
    m_settings.setValue(kAdjustX, clampAdjust(adjustX));
    write(kAdjustY, clampAdjust(adjustY));
}

int SettingsStore::windowWidth() const
{
    return readInt(kWndWidth, 0);
}

int SettingsStore::windowHeight() const
{
    return readInt(kWndHeight, 0);
}

void SettingsStore::setWindowSize(int width, int height)
{
    m_settings.setValue(kWndWidth, width);
    write(kWndHeight, height);
}

bool SettingsStore::livePreviewShown() const
{
    return readInt(kLivePreview, 0) != 0;
}

int SettingsStore::livePreviewWidth() const
{
    return std::max(0, readInt(kLivePreviewWidth, 0));
}

void SettingsStore::setLivePreview(bool shown, int width)
{
    m_settings.setValue(kLivePreview, shown ? 1 : 0);
    write(kLivePreviewWidth, std::max(0, width));
}

QString SettingsStore::zentPath() const
{
    return readString(kZentPath);
}

QString SettingsStore::picturePath() const
{
    return readString(kPicturePath);
}

QString SettingsStore::callPath() const
{
    return readString(kCallPath);
}

void SettingsStore::setZentPath(const QString &folder)
{
    write(kZentPath, folder);
}

void SettingsStore::setPicturePath(const QString &folder)
{
    write(kPicturePath, folder);
}

void SettingsStore::setCallPath(const QString &folder)
{
    write(kCallPath, folder);
}

QStringList SettingsStore::recentFiles() const
{
    QStringList paths;
    m_settings.endGroup();
    m_settings.beginGroup(kRecentGroup);
    for (int i = 0; i < kRecentFiles; ++i) {
        const QVariant value = m_settings.value(recentKey(i));
        // A gap, a list or a repeated entry in an edited file is skipped.
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty() &&
            !paths.contains(value.toString()))
            paths << value.toString();
    }
    m_settings.endGroup();
    m_settings.beginGroup(kSettingsGroup);
    return paths;
}

void SettingsStore::addRecentFile(const QString &path)
{
    QStringList paths = recentFiles();
    paths.removeAll(path);
    paths.prepend(path);
    writeRecentFiles(paths.mid(0, kRecentFiles));
}

void SettingsStore::removeRecentFile(const QString &path)
{
    QStringList paths = recentFiles();
    if (paths.removeAll(path) > 0)
        writeRecentFiles(paths);
}

void SettingsStore::writeRecentFiles(const QStringList &paths)
{
    m_settings.endGroup();
    m_settings.beginGroup(kRecentGroup);
    for (int i = 0; i < kRecentFiles; ++i) {
        if (i < paths.size())
            m_settings.setValue(recentKey(i), paths[i]);
        else
            m_settings.remove(recentKey(i));
    }
    m_settings.endGroup();
    m_settings.beginGroup(kSettingsGroup);
    m_settings.sync();
}

QList<std::pair<QString, QString>> SettingsStore::mergeChoices() const
{
    QList<std::pair<QString, QString>> choices;
    m_settings.endGroup();
    m_settings.beginGroup(kMergeGroup);
    for (int i = 1; i <= kMergeDocuments; ++i) {
        const QVariant document = m_settings.value(QStringLiteral("Document%1").arg(i));
        const QVariant data = m_settings.value(QStringLiteral("Data%1").arg(i));
        if (document.typeId() == QMetaType::QString && data.typeId() == QMetaType::QString &&
            !document.toString().isEmpty() && !data.toString().isEmpty())
            choices.append({document.toString(), data.toString()});
    }
    m_settings.endGroup();
    m_settings.beginGroup(kSettingsGroup);
    return choices;
}

QString SettingsStore::mergeDataFor(const QString &documentPath) const
{
    for (const auto &[document, data] : mergeChoices())
        if (document == documentPath)
            return data;
    return QString();
}

void SettingsStore::setMergeDataFor(const QString &documentPath, const QString &dataPath)
{
    QList<std::pair<QString, QString>> choices = mergeChoices();
    choices.removeIf([&documentPath](const auto &choice) { return choice.first == documentPath; });
    if (!dataPath.isEmpty())
        choices.prepend({documentPath, dataPath});
    m_settings.endGroup();
    m_settings.remove(kMergeGroup);
    m_settings.beginGroup(kMergeGroup);
    for (qsizetype i = 0; i < choices.size() && i < kMergeDocuments; ++i) {
        m_settings.setValue(QStringLiteral("Document%1").arg(i + 1), choices[i].first);
        m_settings.setValue(QStringLiteral("Data%1").arg(i + 1), choices[i].second);
    }
    m_settings.endGroup();
    m_settings.beginGroup(kSettingsGroup);
    m_settings.sync();
}

QString SettingsStore::FolderOf(const QString &filePath)
{
    QString folder = QFileInfo(filePath).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
