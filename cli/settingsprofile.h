// The stored settings of the program, read through QSettings.
#pragma once

#include "engine/viewstate.h"

#include <QSettings>

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Reads integer values of the "Settings" group of the program's settings store
// (organisation "Tirsel Applications", application "Zentova"). A value that is missing
// or not an integer reads as the default. Each value is read once: every page's engine
// asks for the adjustment again, and the tool runs a single job.
class SettingsProfile : public Profile {
public:
    SettingsProfile();
    int ReadInt(std::string_view name, int defaultValue) const override;

private:
    QSettings m_settings;
    mutable std::vector<std::pair<std::string, std::optional<int>>> m_read;
};
