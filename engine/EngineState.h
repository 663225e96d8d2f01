// Inside the expression engine: the module state and the internal routines.
//
// Only the engine's own sources and its tests include this header. Arrays
// that the engine addresses by position are kept 1-based (element 0 unused)
// so that positions read the same in code, messages and tests.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "FixedText.h"
#include "NameIndex.h"
#include "XExpression.h"

inline constexpr int kFieldLength = 64;  // working text, class string, map, tokens
inline constexpr int kFunctionCount = 21;

// One built-in function: its name with the "#", how many arguments it
// takes, which of them must be real, and how it computes. Unused argument
// slots repeat the first argument. compute returns the message of a user
// error, or nullptr.
struct BuiltinFunction {
    enum class RealArgs { kNone, kAll, kFirst };
    using Args = const XVALUE* const (&)[4];
    std::string_view name;
    int minArgs = 0;
    int maxArgs = 0;
    RealArgs realArgs = RealArgs::kNone;
    const char* (*compute)(Args a, XVALUE& out) = nullptr;
};
// The function with token code CODE (1..21), or nullptr.
const BuiltinFunction* builtinFunction(int code);
// The token code of the function named NAME (upper-case, with its "#"), or
// 0. Names are compared blank-padded to 8 characters; a longer one is none.
int builtinFunctionCode(std::string_view name);

// Token ranks. The evaluation takes the token of the highest rank first; a
// bracket ranks one level (100) above everything between it and its
// partner, and an operand's rank is minus its number.
inline constexpr int kRankBracketLevel = 100;  // per level of nesting: "(" and its ")" alike
inline constexpr int kRankFunction = 90;       // a "#" function name
inline constexpr int kRankComma = 80;          // a comma, before it is known what it separates
inline constexpr int kRankPolar = 70;          // "<"
inline constexpr int kRankSign = 60;           // a unary minus
inline constexpr int kRankPower = 50;          // "^"
inline constexpr int kRankProduct = 30;        // "*" and "/"
inline constexpr int kRankSum = 20;            // "+" and "-"
inline constexpr int kRankArguments = 10;      // the brackets of a call, left for the function
inline constexpr int kRankPair = 5;            // the comma of a pair (re, im)
inline constexpr int kRankStrayComma = 4;      // a comma outside any pair or call: spurious

// Token codes of the binary operators.
inline constexpr int kCodeAdd = 1;
inline constexpr int kCodeSubtract = 2;
inline constexpr int kCodeMultiply = 3;
inline constexpr int kCodeDivide = 4;

struct EngineState {
    // Preparation: the user's line and the working form derived from it.
    FixedText<64> display;
    std::array<char, kFieldLength + 1> text{};  // working text, 1-based
    std::array<char, kFieldLength + 1> cls{};   // class string, 1-based
    std::array<int, kFieldLength + 1> pos{};    // source position map, 1-based
    int n = 0;                                  // working length

    // Decoding: operands and the three token arrays.
    std::array<XVALUE, kFieldLength + 1> operands{};  // 1-based
    int operandCount = 0;
    std::array<int, kFieldLength + 1> rank{};
    std::array<int, kFieldLength + 1> code{};
    std::array<int, kFieldLength + 1> tokenPos{};
    int tokenCount = 0;
    int searchLimit = 0;
    // Entries past these may have been written by the last decoding; all
    // later ones are still zero, so a new decoding clears only this far.
    int operandsWritten = 0;
    int tokensWritten = 0;

    // Switches.
    bool realOnly = false;
    bool quiet = false;
    bool solving = false;  // an evaluation is under way (the engine is not re-entrant)

    // Parameter table: entries 1..paramCount live in params[0..paramCount-1];
    // params.size() is the capacity, grown by 16 at a time.
    std::vector<XPARAM> params;
    int paramCount = 0;
    // The names of the table, kept in step with it: each entry's key and
    // the index from a key to its first entry.
    TableNames paramNames;

    // Error report.
    FixedText<64> marker;

    // Views of the prepared form, positions 1..n.
    std::string_view workingText() const { return {text.data() + 1, static_cast<size_t>(n)}; }
    std::string_view classString() const { return {cls.data() + 1, static_cast<size_t>(n)}; }
    std::span<const int> positionMap() const { return {pos.data() + 1, static_cast<size_t>(n)}; }
};

// The one instance. Defined here so that the hot paths reach it without a
// call; the function-local static is built on first use.
inline EngineState& engineState() {
    static EngineState state;
    return state;
}

// Preparation.
int PXNPREP(std::string_view line);
// Preparation run up to a named stage and stopped there with status 0, so
// the tests can look at the working form between stages.
enum class PrepareCheckpoint {
    kClassified,       // working text made, blanks shrunk, codes given
    kDeletionsMarked,  // names merged, "**" and separating blanks marked Z
    kSqueezed,         // function names marked, the Z positions removed
    kProductsImplied,  // exponents checked, mantissas and implied "*" in place
    kDone,
};
int prepareThrough(std::string_view line, PrepareCheckpoint stop);
int PXNINSERT(int k, char c1, char c2);
int PXNSQUEEZ(char c);

// XPARAMFIND with a limit, as a result: the decoder's lookup.
int findParameter(std::string_view name, int limit);
// The same for a name already made into its key (upper-case, blank-padded).
int findParameterByKey(const ParamKey& key, int limit);
// Room for MORE entries after the present ones, in the table, its keys and
// its index, made in one step; nothing changes that can be seen.
void reserveParameters(int more);
// The list file's way in: NAME, squeezed already, is edited when the table
// holds it and added otherwise, as XPARAMEDIT and XPARAMNEW do, with one
// look at the name index. False when the entry was refused (and the user
// told why).
bool storeParameter(std::string_view name, std::string_view expression, std::string_view comment, bool factorOnly);
// Whether a read would store NAME (squeezed) with EXPRESSION, asked without
// a word to the user; KEY gets the key the name is looked up by.
bool parameterStorable(std::string_view name, std::string_view expression, ParamKey& key);


// Decoding.
int PXNDECODE(XVALUE& result);
// The first half of PXNDECODE: the operand table and the token arrays,
// built and left unevaluated.
int decodeTokens();
struct OperatorPick {
    int rank = 0;
    int position = 0;
    int leftPosition = 0;
    int leftOperand = 0;
    int rightPosition = 0;
    int rightOperand = 0;
};
OperatorPick PNXGETOP(int count, std::span<const int> ranks);
bool PXNAPRXRL(const XVALUE& v);

// Evaluation. The spans start at the range's first token; count <= size.
int PXNCRANK(int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions);
// What one pick does, apart from how the pick was found, so that any
// reduction (the engine's, the tests' literal one) applies it the same way.
// A range of tokens, 1-based, and the reduction its sub-ranges go through.
struct TokenRange {
    std::span<int> ranks, codes, positions;
    int (*reduce)(int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) = nullptr;
    int count() const { return static_cast<int>(ranks.size()); }
    int& rank(int i) const { return ranks[static_cast<size_t>(i - 1)]; }
    int code(int i) const { return codes[static_cast<size_t>(i - 1)]; }
    int where(int i) const { return positions[static_cast<size_t>(i - 1)]; }
    int reduceSub(int first, int last) const;  // tokens first..last; 0 when empty
};
// The group of "(" at p and its ")" at c.
int applyGroup(const TokenRange& range, int p, int c);
// Any other operator (rank below 100, not 0 or 10); the operands in `op` are
// needed for ranks 60, 50, 30, 20 and 5.
int applyOperator(const TokenRange& range, const OperatorPick& op);
bool PXNR8ASINT(double x, int& n);
int PXNFUNCT(int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions);

// Solving.
int PXNSOLVE(std::string_view text, XVALUE& value);
bool PXNSOLVEF(std::string_view text, XVALUE& value);
bool PXNSOLVEPARAM(int index);
// PXNSOLVEF for a value that is to be stored as a parameter's: a value that
// is no number fails (and is reported) as any error does.
bool solveParameterValue(std::string_view text, XVALUE& value);

// XPARAMREAD, telling how many lines had faults that were reported (or
// counted, past the tenth).
int readParameterLines(std::istream& in, std::optional<bool> quiet, std::string_view source);

// Error report: message and display-line columns; always returns 0.
int PXNWHINE(std::string_view message, int first, int last);
// The marker line for FIRST, LAST over the current display line, without
// trailing blanks (also left in the state's marker field).
std::string_view buildMarkerLine(int first, int last);

// Internal faults: a stop notice captioned "LOGIC ERROR".
void reportLogicError(std::string_view text);

// The report of a value that is no number, wherever it is found: in an
// operand an operation meets, an argument, or the result.
inline constexpr std::string_view kNotANumberMessage = "Result is not a number";

// Source column of working position k (0 outside 1..64).
inline int sourceColumn(int k) {
    return (k >= 1 && k <= kFieldLength) ? engineState().pos[static_cast<size_t>(k)] : 0;
}
