// Where Tallyon keeps what it remembers between runs: the parameter table,
// the expression history and the settings.
//
// %APPDATA%\Tallyon by default. A file named "portable" beside Tallyon.exe
// keeps the data beside the program instead, as portable tools do. The
// folder is made when missing and tried with a file of our own, so a folder
// that cannot be written is known at start, said once, and left alone.
#pragma once

#include <string>
#include <string_view>

struct DataFolder {
    std::string path;      // without a trailing backslash
    bool portable = false;
    bool usable = false;   // exists and takes new files
    std::string problem;   // why not, in the user's words, when not usable

    std::string file(std::string_view name) const { return path + "\\" + std::string(name); }
};

DataFolder locateDataFolder();

// The names of what is kept there.
inline constexpr std::string_view kParametersFile = "parameters.par";
inline constexpr std::string_view kHistoryFile = "history.txt";
inline constexpr std::string_view kSettingsFile = "settings.ini";
