// Tallyon's settings: a small INI file in the data folder, read with the
// Windows profile routines and written whole through the safe save.
#pragma once

#include <optional>
#include <string>

#include "Format.h"

struct Settings {
    bool alwaysOnTop = false;
    bool remember = true;  // keep the parameters and the history between runs
    std::optional<int> windowX, windowY;  // the main window's last position
    DisplayFormat display;                // how results are shown
};

Settings loadSettings(const std::string& path);  // defaults for what is missing
bool saveSettings(const std::string& path, const Settings& settings);
