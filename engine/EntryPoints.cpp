// The public face of the evaluation: every entry point runs the same
// pipeline (search limit, preparation, decoding) and then narrows the value
// to the caller's kind, rejecting what the kind cannot hold.
#include <cmath>
#include <limits>

#include "EngineState.h"
#include "FastPath.h"
#include "Narrow.h"

// Shares the pipeline between a plain evaluation and a parameter's own.
// There is one set of working state, so an evaluation started while another
// is under way (say from a presenter that shows a dialog and lets messages
// through) is refused instead of overwriting the first one's tokens.
int solveWithLimit(EngineState& st, std::string_view text, int limit, XVALUE& value) {
    if (st.solving) {
        reportLogicError(st, "Routine PXNSOLVE entered during another evaluation.");
        return 1;
    }
    struct Busy {
        bool& flag;
        explicit Busy(bool& f) : flag(f) { flag = true; }
        ~Busy() { flag = false; }
    } busy(st.solving);
    st.searchLimit = limit;
    // A plainly sound line is read and computed in one pass; every other
    // line, and every line with a fault to report, goes through the stages.
    if (fastEvaluate(st, text, limit, value)) return 0;
    try {
        if (PXNPREP(st, text) != 0) return 1;
        if (PXNDECODE(st, value) != 0) return 1;
    } catch (...) {
        return 1;  // only a lack of memory in the number reader can throw
    }
    return 0;
}

namespace {

// An evaluation that found no fault in the expression can still end in a
// value that is no number at all (infinity times zero, infinity minus
// infinity). The user asked for a result, so they are told why there is
// none, over the whole line, through the same report as every other error
// (silent where those are silent). Always false, for the caller to return.
bool notANumber(EngineState& st) {
    PXNWHINE(st, kNotANumberMessage, 1, static_cast<int>(st.display.length()));
    return false;
}

bool hasNaN(std::complex<double> z) { return std::isnan(z.real()) || std::isnan(z.imag()); }

}  // namespace

int PXNSOLVE(EngineState& st, std::string_view text, XVALUE& value) {
    return solveWithLimit(st, text, st.paramCount, value);
}

bool solveParameterValue(EngineState& st, std::string_view text, int limit, XVALUE& value) {
    XVALUE v;
    if (solveWithLimit(st, text, limit, v) != 0) return false;
    if (hasNaN(v.value) || (v.isReal && std::isnan(v.realValue))) return notANumber(st);
    value = v;
    return true;
}

bool PXNSOLVEPARAM(EngineState& st, int index) {
    if (index < 1 || index > static_cast<int>(st.params.size())) return false;
    // Only the entries before this one are visible, so a parameter can use
    // neither itself nor a later one. The expression is copied because the
    // evaluation reads the table while it runs.
    const FixedText<64> expression = st.params[static_cast<size_t>(index - 1)].expression;
    // A value that is no number fails the parameter as any error does;
    // stored, it would turn every expression that uses it into one.
    XVALUE value;
    const bool ok = solveParameterValue(st, expression.raw(), index - 1, value);
    XPARAM& entry = st.params[static_cast<size_t>(index - 1)];
    entry.valid = ok;
    if (ok) entry.value = value;
    return ok;
}

bool XNUMBEREXGET(std::string_view text, XVALUE& value) { return PXNSOLVEF(text, value); }

void XNUMBERREALONLY(bool realOnly) { defaultEngine().realOnly = realOnly; }

bool evaluateComplex(EngineState& st, std::string_view text, std::complex<double>& result) {
    XVALUE v;
    bool ok = PXNSOLVE(st, text, v) == 0;
    result = ok ? v.value : std::complex<double>{};
    if (ok && hasNaN(result)) {
        ok = notANumber(st);
        result = {};
    }
    return ok;
}

bool XNUMBEREX_C8(std::string_view text, std::complex<double>& result) {
    return evaluateComplex(defaultEngine(), text, result);
}

bool XNUMBEREX_C4(std::string_view text, std::complex<float>& result) {
    std::complex<double> t;
    const bool ok = XNUMBEREX_C8(text, t);  // (0, 0) when it fails
    float re = 0, im = 0;
    // Both parts must fit; when either does not, both are 0.
    if (!narrow::toFloat(t.real(), re) || !narrow::toFloat(t.imag(), im)) {
        result = {};
        return false;
    }
    result = {re, im};
    return ok;
}

bool evaluateReal(EngineState& st, std::string_view text, double& result) {
    XVALUE v;
    result = 0;
    if (PXNSOLVE(st, text, v) != 0) return false;
    if (v.isReal) {
        result = v.realValue;
    } else if (st.realOnly) {
        PXNWHINE(st, kRealRequiredMessage, 1, 0);
        return false;
    } else {
        result = v.value.real();  // the imaginary part is dropped
    }
    if (std::isnan(result)) {
        result = 0;
        return notANumber(st);
    }
    return true;
}

bool XNUMBEREX_R8(std::string_view text, double& result) { return evaluateReal(defaultEngine(), text, result); }

bool XNUMBEREX_R4(std::string_view text, float& result) {
    double t = 0;
    const bool ok = XNUMBEREX_R8(text, t);  // 0 when it fails
    return narrow::toFloat(t, result) && ok;
}

bool XNUMBEREX_I4(std::string_view text, std::int32_t& result) {
    double t = 0;
    const bool ok = XNUMBEREX_R8(text, t);  // 0 when it fails
    return narrow::toInt32(t, narrow::Rounding::kTowardZero, result) && ok;
}

int XNUMBEREXS_C8(std::string_view text, std::complex<double>& r) { return XNUMBEREX_C8(text, r) ? 0 : 1; }
int XNUMBEREXS_C4(std::string_view text, std::complex<float>& r) { return XNUMBEREX_C4(text, r) ? 0 : 1; }
int XNUMBEREXS_R8(std::string_view text, double& r) { return XNUMBEREX_R8(text, r) ? 0 : 1; }
int XNUMBEREXS_R4(std::string_view text, float& r) { return XNUMBEREX_R4(text, r) ? 0 : 1; }
int XNUMBEREXS_I4(std::string_view text, std::int32_t& r) { return XNUMBEREX_I4(text, r) ? 0 : 1; }
