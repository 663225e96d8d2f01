// Inside the expression engine: the module state and the internal routines.
//
// Only the engine's own sources and its tests include this header. Arrays
// that the engine addresses by position are kept 1-based (element 0 unused)
// so that positions read the same in code, messages and tests.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FixedText.h"
#include "NameIndex.h"
#include "XExpression.h"

class ExpressionErrorPresenter;
class NoticeSink;

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

// A "#" function that the program using the engine defines for one engine.
// Its token code follows the built-in ones: kFunctionCount + its place.
struct HostFunction {
    std::string name;  // upper-case, with its "#"
    int minArgs = 1;
    int maxArgs = 1;
    // Computes OUT from the given arguments (1 to 4). A user error is its
    // message in MESSAGE and a false return.
    std::function<bool(std::span<const XVALUE> args, XVALUE& out, std::string& message)> compute;
};

// One engine: everything an evaluation, the parameter table and the error
// report read and write. The program's described routines act on the
// default engine; a program that embeds the engine makes as many as it
// needs, and each is used by one thread at a time.
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

    // Counts the changes to the table's definitions (paramTableChanges).
    // It only ever grows, also across a reset: a reading taken before a
    // reset must not match one taken after as many new changes.
    std::uint64_t changes = 0;

    // Functions defined by the program that embeds this engine.
    std::vector<HostFunction> hostFunctions;

    // Error report, and the seams it goes through (null: the defaults,
    // which print on stderr). The engine does not own them.
    FixedText<64> marker;
    ExpressionErrorPresenter* presenter = nullptr;
    NoticeSink* notices = nullptr;

    // Views of the prepared form, positions 1..n.
    std::string_view workingText() const { return {text.data() + 1, static_cast<size_t>(n)}; }
    std::string_view classString() const { return {cls.data() + 1, static_cast<size_t>(n)}; }
    std::span<const int> positionMap() const { return {pos.data() + 1, static_cast<size_t>(n)}; }
    // Source column of working position k (0 outside 1..64).
    int sourceColumn(int k) const { return (k >= 1 && k <= kFieldLength) ? pos[static_cast<size_t>(k)] : 0; }
};

// The program's default engine, the one the described routines act on.
EngineState& defaultEngine();
// Where an engine's reports go: its own seams, or the defaults.
ExpressionErrorPresenter& expressionErrorPresenter(EngineState& engine);
NoticeSink& noticeSink(EngineState& engine);
// ENGINE as at program start: an empty table, every switch and the work
// state cleared; its seams and its change count stay.
void resetEngine(EngineState& engine);

// Every stage takes the engine it works on. The described routines among
// them keep their described form as well, acting on the default engine.

// Preparation: ENGINE's display line, working text, class string and map.
int PXNPREP(EngineState& engine, std::string_view line);
// Preparation run up to a named stage and stopped there with status 0, so
// the tests can look at the working form between stages.
enum class PrepareCheckpoint {
    kClassified,       // working text made, blanks shrunk, codes given
    kDeletionsMarked,  // names merged, "**" and separating blanks marked Z
    kSqueezed,         // function names marked, the Z positions removed
    kProductsImplied,  // exponents checked, mantissas and implied "*" in place
    kDone,
};
int prepareThrough(EngineState& engine, std::string_view line, PrepareCheckpoint stop);
int PXNINSERT(EngineState& engine, int k, char c1, char c2);
int PXNSQUEEZ(EngineState& engine, char c);

// The table's lookup with a limit, as a result: the decoder's.
int findParameter(EngineState& engine, std::string_view name, int limit);
// The same for a name already made into its key (upper-case, blank-padded).
int findParameterByKey(EngineState& engine, const ParamKey& key, int limit);
// Room for MORE entries after the present ones, in the table, its keys and
// its index, made in one step; nothing changes that can be seen.
void reserveParameters(EngineState& engine, int more);
// The list file's way in: NAME, squeezed already, is edited when the table
// holds it and added otherwise, as XPARAMEDIT and XPARAMNEW do, with one
// look at the name index. False when the entry was refused (and the user
// told why).
bool storeParameter(EngineState& engine, std::string_view name, std::string_view expression,
                    std::string_view comment, bool factorOnly);
// Whether a read would store NAME (squeezed) with EXPRESSION, asked without
// a word to the user and without a table; KEY gets the key the name is
// looked up by.
bool parameterStorable(std::string_view name, std::string_view expression, ParamKey& key);
// The key NAME is looked up by; nothing when it is longer than any stored
// name can be.
std::optional<ParamKey> parameterKey(std::string_view name);
// The table routines on ENGINE, as their X forms act on the default engine.
bool addParameter(EngineState& engine, std::string_view name, std::string_view expression, std::string_view comment,
                  bool factorOnly, bool evaluate);
bool editParameter(EngineState& engine, std::string_view name, std::string_view expression, std::string_view comment,
                   std::optional<bool> factorOnly, bool evaluate);
int lookUpParameter(EngineState& engine, std::string_view name);  // XPARAMFIND: first entry, or 0
bool deleteParameter(EngineState& engine, std::string_view name);
void moveParameterUp(EngineState& engine, int index);
void moveParameterDown(EngineState& engine, int index);
bool updateParameters(EngineState& engine);

// Decoding: ENGINE's operand table and token arrays, from its prepared line.
int PXNDECODE(EngineState& engine, XVALUE& result);
// The first half of PXNDECODE: the operand table and the token arrays,
// built and left unevaluated.
int decodeTokens(EngineState& engine);
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

// Evaluation: a range of ENGINE's tokens, its operands and its error
// report. The spans start at the range's first token; count <= size.
int PXNCRANK(EngineState& engine, int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions);
// What one pick does, apart from how the pick was found, so that any
// reduction (the engine's, the tests' literal one) applies it the same way.
// A range of tokens, 1-based, and the reduction its sub-ranges go through.
struct TokenRange {
    EngineState& engine;
    std::span<int> ranks, codes, positions;
    int (*reduce)(EngineState& engine, int count, std::span<int> ranks, std::span<int> codes,
                  std::span<int> positions) = nullptr;
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
int PXNFUNCT(EngineState& engine, int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions);
// The token code of the function named NAME (upper-case, with its "#"):
// a built-in one, else one ENGINE's program defined; 0 for none.
int functionCode(const EngineState& engine, std::string_view name);

// Solving on ENGINE: TEXT with the first LIMIT parameters visible.
int solveWithLimit(EngineState& engine, std::string_view text, int limit, XVALUE& value);
int PXNSOLVE(EngineState& engine, std::string_view text, XVALUE& value);
bool PXNSOLVEPARAM(EngineState& engine, int index);
// solveWithLimit for a value that is to be kept (a parameter's): a value
// that is no number fails (and is reported) as any error does. VALUE is
// untouched on failure.
bool solveParameterValue(EngineState& engine, std::string_view text, int limit, XVALUE& value);
// The evaluation entry points on ENGINE, as their X forms on the default one.
bool evaluateComplex(EngineState& engine, std::string_view text, std::complex<double>& result);
bool evaluateReal(EngineState& engine, std::string_view text, double& result);

// XPARAMREAD on ENGINE, telling how many lines had faults that were
// reported (or counted, past the tenth).
int readParameterLines(EngineState& engine, std::istream& in, std::optional<bool> quiet, std::string_view source);
void writeParameterLines(const EngineState& engine, std::ostream& out);

// Error report: message and display-line columns of ENGINE's line; always
// returns 0.
int PXNWHINE(EngineState& engine, std::string_view message, int first, int last);
// The marker line for FIRST, LAST under DISPLAY, without trailing blanks
// (left in MARKER).
std::string_view buildMarkerLine(const FixedText<64>& display, FixedText<64>& marker, int first, int last);

// Internal faults: a stop notice captioned "LOGIC ERROR".
void reportLogicError(EngineState& engine, std::string_view text);

// The described routines in their described form, on the default engine.
inline int PXNPREP(std::string_view line) { return PXNPREP(defaultEngine(), line); }
inline int PXNINSERT(int k, char c1, char c2) { return PXNINSERT(defaultEngine(), k, c1, c2); }
inline int PXNSQUEEZ(char c) { return PXNSQUEEZ(defaultEngine(), c); }
inline int PXNDECODE(XVALUE& result) { return PXNDECODE(defaultEngine(), result); }
inline int PXNCRANK(int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) {
    return PXNCRANK(defaultEngine(), count, ranks, codes, positions);
}
inline int PXNFUNCT(int count, std::span<int> ranks, std::span<int> codes, std::span<int> positions) {
    return PXNFUNCT(defaultEngine(), count, ranks, codes, positions);
}
inline int PXNSOLVE(std::string_view text, XVALUE& value) { return PXNSOLVE(defaultEngine(), text, value); }
inline bool PXNSOLVEF(std::string_view text, XVALUE& value) { return PXNSOLVE(defaultEngine(), text, value) != 1; }
inline bool PXNSOLVEPARAM(int index) { return PXNSOLVEPARAM(defaultEngine(), index); }
inline int PXNWHINE(std::string_view message, int first, int last) {
    return PXNWHINE(defaultEngine(), message, first, last);
}

// The report of a value that is no number, wherever it is found: in an
// operand an operation meets, an argument, or the result.
inline constexpr std::string_view kNotANumberMessage = "Result is not a number";
// The report of a value that is not real where a real one is required.
inline constexpr std::string_view kRealRequiredMessage =
    "Expression has non-zero imaginary part.  Pure real required.  Check for spurious comma.";
