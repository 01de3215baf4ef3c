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
const QString kSettingsGroup = QStringLiteral("Settings");
const QString kRecentGroup = QStringLiteral("Recent File List");

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

QString SettingsStore::FolderOf(const QString &filePath)
{
    QString folder = QFileInfo(filePath).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
