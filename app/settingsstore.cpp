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

int clampAdjust(int value)
{
    return std::clamp(value, SettingsStore::kAdjustMinimum, SettingsStore::kAdjustMaximum);
}

} // namespace

SettingsStore::SettingsStore()
    : m_settings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova"))
{
    m_settings.beginGroup(QStringLiteral("Settings"));
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

QString SettingsStore::FolderOf(const QString &filePath)
{
    QString folder = QFileInfo(filePath).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
