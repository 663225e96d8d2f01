// The registry operations behind remembered message-box answers.
#include "WflReg.h"
#include "Text.h"

#include <string>

namespace {

// Names reach the registry without trailing blanks, NUL-terminated.
std::string registryName(std::string_view name) { return textkit::trimmedRight(name); }

}  // namespace

bool XREGOPENKEY(std::string_view key, HKEY& handle) {
    const std::string path = registryName(key);
    HKEY opened = nullptr;
    const LSTATUS status =
        RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) return false;
    handle = opened;
    return true;
}

bool XREGGETINT(HKEY handle, std::string_view name, int& value) {
    const std::string valueName = registryName(name);
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    const LSTATUS status = RegQueryValueExA(handle, valueName.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(&data), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(data)) return false;
    value = static_cast<int>(data);
    return true;
}

bool XREGSETINT(HKEY handle, std::string_view name, int value) {
    const std::string valueName = registryName(name);
    const auto data = static_cast<DWORD>(value);
    return RegSetValueExA(handle, valueName.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

bool XREGCLOSEKEY(HKEY handle) { return RegCloseKey(handle) == ERROR_SUCCESS; }
