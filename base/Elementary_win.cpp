// The elementary functions of the Windows build, from the system's C
// runtime. ucrtbase.dll is part of every Windows 10 and 11; it is loaded
// from System32 only, so a ucrtbase.dll planted beside the program (in a
// Downloads folder, say) is never the one that runs.
#include <windows.h>

#include <math.h>

#include "Elementary.h"

namespace elementary {
namespace {

template <typename F>
bool resolve(HMODULE dll, const char* name, F& fn) {
    const FARPROC p = GetProcAddress(dll, name);
    if (p == nullptr) return false;
    fn = reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
    return true;
}

Table load() {
    // The MinGW runtime's own functions: what is left on a system without
    // ucrtbase.dll, which no supported Windows is. The source then says so.
    const Table own{::sin,  ::cos, ::exp,   ::log,   ::log10, ::log1p,
                    ::sqrt, ::pow, ::atan2, ::hypot, ::fmod,
                    "the MinGW runtime (ucrtbase.dll was not found in System32)"};
    const HMODULE dll = LoadLibraryExW(L"ucrtbase.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (dll == nullptr) return own;
    Table t = own;
    // All or nothing: one table never mixes two libraries' functions.
    const bool all = resolve(dll, "sin", t.sin) && resolve(dll, "cos", t.cos) && resolve(dll, "exp", t.exp) &&
                     resolve(dll, "log", t.log) && resolve(dll, "log10", t.log10) &&
                     resolve(dll, "log1p", t.log1p) && resolve(dll, "sqrt", t.sqrt) &&
                     resolve(dll, "pow", t.pow) && resolve(dll, "atan2", t.atan2) &&
                     resolve(dll, "hypot", t.hypot) && resolve(dll, "fmod", t.fmod);
    if (!all) return own;
    t.source = "ucrtbase.dll (System32)";
    return t;  // the DLL stays loaded for the life of the process
}

}  // namespace

const Table& table() {
    static const Table t = load();
    return t;
}

}  // namespace elementary
