// WflReg: integer values under a key below HKEY_CURRENT_USER, as far as
// the framework's message box needs them to remember answers.
#pragma once

#include <windows.h>

#include <string_view>

// Opens the key below HKEY_CURRENT_USER, creating it when it is missing.
bool XREGOPENKEY(std::string_view key, HKEY& handle);
// A 32-bit value of the key; false when it is missing or of another type.
bool XREGGETINT(HKEY handle, std::string_view name, int& value);
bool XREGSETINT(HKEY handle, std::string_view name, int value);
bool XREGCLOSEKEY(HKEY handle);

// An open key that closes itself.
class RegistryKey {
public:
    RegistryKey() = default;
    explicit RegistryKey(std::string_view key) { open_ = XREGOPENKEY(key, handle_); }
    ~RegistryKey() {
        if (open_) XREGCLOSEKEY(handle_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool isOpen() const { return open_; }
    HKEY handle() const { return handle_; }

private:
    HKEY handle_ = nullptr;
    bool open_ = false;
};
