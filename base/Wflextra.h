// Wflextra: the application's small text and number routines (portable), and
// in the Windows build its notices, sounds and timers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text without trailing blanks, with control characters turned into
// blanks and every blank moved to the end: the non-blank characters in order,
// then as many blanks as were removed.
std::string XSQUEEZE(std::string_view text);

// Reads a number: optional sign, digits with at most one decimal point (at
// least one digit), optional exponent letter D or E (either case) with an
// optional sign and digits. Blanks anywhere are ignored. On failure the value
// is 0 and the result false.
bool XNUMBER_R8(std::string_view text, double& value);
// As XNUMBER_R8, then narrowed; a number beyond the target's range fails.
bool XNUMBER_R4(std::string_view text, float& value);
bool XNUMBER_I4(std::string_view text, std::int32_t& value);
