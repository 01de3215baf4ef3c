// Settings read for the interpreter: the stored ones, or those of the command line.
#include "settingsprofile.h"

#include <QString>

SettingsProfile::SettingsProfile()
    : m_settings(QStringLiteral("Tirsel Applications"), QStringLiteral("Zentova"))
{
    m_settings.beginGroup(QStringLiteral("Settings"));
}

int SettingsProfile::ReadInt(std::string_view name, int defaultValue) const
{
    for (const auto &[known, value] : m_read)
        if (known == name)
            return value.value_or(defaultValue);
    bool ok = false;
    const int v =
        m_settings.value(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())))
            .toInt(&ok);
    m_read.emplace_back(std::string(name), ok ? std::optional<int>(v) : std::nullopt);
    return ok ? v : defaultValue;
}
