// The real elementary functions every computed result rests on.
//
// Natively they are the C library's own (glibc's are accurate to the last
// bit). The MinGW runtime that a Windows build links by default brings
// functions of its own (sine and cosine on the x87 fsin/fcos, a pow that
// loses digits), wrong in the digits a calculator shows; so the Windows
// build takes them from the system's C runtime, ucrtbase.dll, loaded from
// System32 alone and never from beside the program. Nothing in base/ or
// engine/ calls <cmath> for these functions directly.
#pragma once

#include <cmath>

namespace elementary {

#if defined(_WIN32)

using Unary = double (*)(double);
using Binary = double (*)(double, double);

struct Table {
    Unary sin, cos, exp, log, log10, log1p, sqrt;
    Binary pow, atan2, hypot, fmod;
    const char* source;  // the DLL they come from, for --version and About
};
// Resolved on first use, once.
const Table& table();

inline double sin(double x) { return table().sin(x); }
inline double cos(double x) { return table().cos(x); }
inline double exp(double x) { return table().exp(x); }
inline double log(double x) { return table().log(x); }
inline double log10(double x) { return table().log10(x); }
inline double log1p(double x) { return table().log1p(x); }
inline double sqrt(double x) { return table().sqrt(x); }
inline double pow(double x, double y) { return table().pow(x, y); }
inline double atan2(double y, double x) { return table().atan2(y, x); }
inline double hypot(double x, double y) { return table().hypot(x, y); }
inline double fmod(double x, double y) { return table().fmod(x, y); }
inline const char* source() { return table().source; }

#else

inline double sin(double x) { return std::sin(x); }
inline double cos(double x) { return std::cos(x); }
inline double exp(double x) { return std::exp(x); }
inline double log(double x) { return std::log(x); }
inline double log10(double x) { return std::log10(x); }
inline double log1p(double x) { return std::log1p(x); }
inline double sqrt(double x) { return std::sqrt(x); }
inline double pow(double x, double y) { return std::pow(x, y); }
inline double atan2(double y, double x) { return std::atan2(y, x); }
inline double hypot(double x, double y) { return std::hypot(x, y); }
inline double fmod(double x, double y) { return std::fmod(x, y); }
inline const char* source() { return "the C library"; }

#endif

}  // namespace elementary
