// The elementary functions of the Windows build, from the system's C
// runtime. ucrtbase.dll is part of every Windows 10 and 11; it is loaded
// from System32 only, so a ucrtbase.dll planted beside the program (in a
// Downloads folder, say) is never the one that runs.
#include <windows.h>

#include <cmath>

#include "Elementary.h"

namespace elementary {
namespace {

// The MinGW runtime's own functions: what is left on a system without
// ucrtbase.dll, which no supported Windows is. The source then says so.
double ownSin(double x) { return std::sin(x); }
double ownCos(double x) { return std::cos(x); }
double ownExp(double x) { return std::exp(x); }
double ownLog(double x) { return std::log(x); }
double ownLog10(double x) { return std::log10(x); }
double ownLog1p(double x) { return std::log1p(x); }
double ownSqrt(double x) { return std::sqrt(x); }
double ownPow(double x, double y) { return std::pow(x, y); }
double ownAtan2(double y, double x) { return std::atan2(y, x); }
double ownHypot(double x, double y) { return std::hypot(x, y); }
double ownFmod(double x, double y) { return std::fmod(x, y); }

template <typename F>
bool resolve(HMODULE dll, const char* name, F& fn) {
    const FARPROC p = GetProcAddress(dll, name);
    if (p == nullptr) return false;
    fn = reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
    return true;
}

Table load() {
    const Table own{ownSin,  ownCos,   ownExp,   ownLog,   ownLog10, ownLog1p,
                    ownSqrt, ownPow,   ownAtan2, ownHypot, ownFmod,
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
