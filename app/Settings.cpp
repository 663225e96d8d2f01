#include "Settings.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <string>

#include "SafeSave.h"

namespace {

constexpr char kSection[] = "Tallyon";
constexpr int kUnset = INT_MIN;

// GetPrivateProfileIntA gives 0 for a negative number, and a window left of
// the main monitor has a negative position: the text is read instead.
int readInt(const std::string& path, const char* key, int fallback) {
    char value[32] = {};
    GetPrivateProfileStringA(kSection, key, "", value, sizeof value, path.c_str());
    char* end = nullptr;
    const long n = std::strtol(value, &end, 10);
    return end != value && *end == '\0' && n > INT_MIN && n <= INT_MAX ? static_cast<int>(n) : fallback;
}

}  // namespace

Settings loadSettings(const std::string& path) {
    Settings s;
    s.alwaysOnTop = readInt(path, "AlwaysOnTop", 0) != 0;
    s.remember = readInt(path, "RememberParametersAndHistory", 1) != 0;
    const int x = readInt(path, "WindowX", kUnset);
    const int y = readInt(path, "WindowY", kUnset);
    if (x != kUnset && y != kUnset) {
        s.windowX = x;
        s.windowY = y;
    }
    char notation[32] = {};
    GetPrivateProfileStringA(kSection, "Notation", "", notation, sizeof notation, path.c_str());
    s.display.notation = notationNamed(notation).value_or(DisplayFormat::Notation::kDescribed);
    const int digits = readInt(path, "Digits", s.display.digits);
    if (digits >= kMinDigits && digits <= kMaxDigits) s.display.digits = digits;
    s.display.polar = readInt(path, "Polar", 0) != 0;
    return s;
}

bool saveSettings(const std::string& path, const Settings& s) {
    std::string text = "[" + std::string(kSection) + "]\r\n";
    text += "AlwaysOnTop=" + std::string(s.alwaysOnTop ? "1" : "0") + "\r\n";
    text += "RememberParametersAndHistory=" + std::string(s.remember ? "1" : "0") + "\r\n";
    if (s.windowX && s.windowY) {
        text += "WindowX=" + std::to_string(*s.windowX) + "\r\n";
        text += "WindowY=" + std::to_string(*s.windowY) + "\r\n";
    }
    text += "Notation=" + std::string(notationName(s.display.notation)) + "\r\n";
    text += "Digits=" + std::to_string(s.display.digits) + "\r\n";
    text += "Polar=" + std::string(s.display.polar ? "1" : "0") + "\r\n";
    const std::unique_ptr<SaveSteps> steps = makePlatformSaveSteps();
    return saveFileSafely(path, text, *steps);
}
