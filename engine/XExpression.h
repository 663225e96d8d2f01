// XExpression: the expression engine and the parameter store.
//
// A caller hands over an expression text and gets back a value and a flag;
// preparation, decoding, evaluation and the error reports happen behind these
// routines. Errors reach the user only through the seams of Seams.h.
//
// The module is single-threaded and not re-entrant: an evaluation must not be
// started from inside another (for example from a presenter callback).
#pragma once

#include <complex>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "FixedText.h"

// One value of the engine. The complex value is always kept; the real value
// is meaningful only while isReal holds.
struct XVALUE {
    std::complex<double> value{0.0, 0.0};
    double realValue = 0.0;
    bool isReal = false;
};

// One parameter of the table.
struct XPARAM {
    FixedText<16> name;
    FixedText<64> expression;
    FixedText<64> comment;
    bool factorOnly = false;  // a leading sign is ignored and multiplication implied
    bool valid = false;       // the last evaluation of the expression succeeded
    XVALUE value;
};

// ---- Evaluation entry points -------------------------------------------
// Each returns true when the text evaluated and the result is set; on failure
// the result is zero.
bool XNUMBEREX_C8(std::string_view text, std::complex<double>& result);
bool XNUMBEREX_C4(std::string_view text, std::complex<float>& result);
bool XNUMBEREX_R8(std::string_view text, double& result);
bool XNUMBEREX_R4(std::string_view text, float& result);
bool XNUMBEREX_I4(std::string_view text, std::int32_t& result);

inline bool XNUMBEREX(std::string_view text, std::complex<double>& r) { return XNUMBEREX_C8(text, r); }
inline bool XNUMBEREX(std::string_view text, std::complex<float>& r) { return XNUMBEREX_C4(text, r); }
inline bool XNUMBEREX(std::string_view text, double& r) { return XNUMBEREX_R8(text, r); }
inline bool XNUMBEREX(std::string_view text, float& r) { return XNUMBEREX_R4(text, r); }
inline bool XNUMBEREX(std::string_view text, std::int32_t& r) { return XNUMBEREX_I4(text, r); }

// The same, as a status: 0 = success, 1 = failure (already reported).
int XNUMBEREXS_C8(std::string_view text, std::complex<double>& result);
int XNUMBEREXS_C4(std::string_view text, std::complex<float>& result);
int XNUMBEREXS_R8(std::string_view text, double& result);
int XNUMBEREXS_R4(std::string_view text, float& result);
int XNUMBEREXS_I4(std::string_view text, std::int32_t& result);

inline int XNUMBEREXS(std::string_view text, std::complex<double>& r) { return XNUMBEREXS_C8(text, r); }
inline int XNUMBEREXS(std::string_view text, std::complex<float>& r) { return XNUMBEREXS_C4(text, r); }
inline int XNUMBEREXS(std::string_view text, double& r) { return XNUMBEREXS_R8(text, r); }
inline int XNUMBEREXS(std::string_view text, float& r) { return XNUMBEREXS_R4(text, r); }
inline int XNUMBEREXS(std::string_view text, std::int32_t& r) { return XNUMBEREXS_I4(text, r); }

// The whole value record, without narrowing or checks; untouched on failure.
bool XNUMBEREXGET(std::string_view text, XVALUE& value);

// While set, a result that is not real fails the R8, R4 and I4 kinds.
void XNUMBERREALONLY(bool realOnly);

// ---- Parameter table (indexes count from 1) ------------------------------
bool XPARAMNEW(std::string_view name, std::string_view expression, std::string_view comment,
               bool factorOnly = false, bool evaluate = true);
// factorOnly absent leaves the entry's flag as it is.
bool XPARAMEDIT(std::string_view name, std::string_view expression, std::string_view comment,
                std::optional<bool> factorOnly = std::nullopt, bool evaluate = true);
// Copies the fields asked for (non-null pointers); texts without trailing blanks.
bool XPARAMFETCH(int index, std::string* name = nullptr, std::string* expression = nullptr,
                 std::string* comment = nullptr, bool* factorOnly = nullptr);
int XPARAMCOUNT();
// index = first entry among the first min(count, limit) whose name matches, else 0.
void XPARAMFIND(std::string_view name, int& index, std::optional<int> limit = std::nullopt);
bool XPARAMGET(int index, XVALUE& value, bool reEvaluate = false);
void XPARAMMOVEUP(int index);
void XPARAMMOVEDOWN(int index);
bool XPARAMDELETE(std::string_view name);
bool XPARAMUPDATE();
bool XPARAMGETFACTOR(std::string_view name);
// While set, expression error reports are not shown; warnings still are.
void XPARAMQUIET(bool quiet);
// Counts the changes to what the table holds: entries added, edited to
// another definition, moved or deleted. Evaluating changes no definition
// and does not count. Two readings differ when the table changed between.
std::uint64_t paramTableChanges();

// ---- Parameter list file ---------------------------------------------------
void XPARAMWRITE(std::ostream& out);
// Reports of the first ten faulty lines are shown; the faults of later lines
// are counted and told in one "READ WARNINGS" notice that names `source`.
void XPARAMREAD(std::istream& in, std::optional<bool> quiet = std::nullopt, std::string_view source = {});

// Empties the parameter table and clears every switch and the work state, as
// at program start. Meant for tests and tools that need a fresh engine.
void resetExpressionEngine();
