// The main window's fields beyond what the dialog itself does: the
// expression field steps through the history with Up and Down; the two
// result fields copy their value at full precision (Ctrl+C with nothing
// selected, or the right-click menu in five forms).
#pragma once

#include <windows.h>

#include <complex>
#include <optional>
#include <string>

struct XWND;

// What the result fields hold since the last evaluation.
struct ShownResult {
    std::string expression;
    std::optional<double> real;                   // absent: NO REAL RESULT
    std::optional<std::complex<double>> complex;  // absent: nothing evaluated
};

void attachMainFields(XWND& frame);
void showResult(const ShownResult& result);  // what the copy commands copy

// The result field's menu commands, also for the tests.
enum class CopyForm { kValue = 1, kPair, kAlgebraic, kPolar, kWithExpression };
// The text a copy form gives for the value of field ID; empty when that
// field holds nothing.
std::string copyText(int fieldId, CopyForm form);
// Puts text on the clipboard as Unicode and as ANSI text.
bool putOnClipboard(HWND owner, const std::string& text);
