// The C interface over the engine: an engine instance with seams that keep
// every report as data, and the calls of tallyon.h on it. No exception
// leaves a call; a lack of memory is a fault like any other.
#include "tallyon.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "EngineState.h"
#include "LibraryInternal.h"
#include "ParamListFile.h"
#include "Seams.h"
#include "Text.h"
#include "Unicode.h"
#include "TallyonVersion.h"

namespace {

constexpr const char* kOutOfMemory = "Not enough memory";

// One notice as the engine gave it, kept until the next call that gives any.
struct Kept {
    int kind = 0;
    std::string caption, text, context;
    int first = 0, last = 0;
};

// The columns of the first and last mark of MARKER (one column per
// character), 0 and 0 when it marks nothing.
void markedColumns(std::string_view marker, int& first, int& last) {
    const std::size_t from = marker.find_first_not_of(' ');
    if (from == std::string_view::npos) {
        first = last = 0;
        return;
    }
    first = static_cast<int>(from) + 1;
    last = static_cast<int>(marker.find_last_not_of(' ')) + 1;
}

// TEXT cut to fit SIZE bytes with its NUL, never inside a character.
void copyText(std::string_view text, char* out, std::size_t size) {
    if (size == 0) return;
    std::size_t n = std::min(text.size(), size - 1);
    if (n < text.size()) n = utf8::characterStart(text, n);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

tly_value valueOf(const XVALUE& v) {
    tly_value out{};
    out.re = v.value.real();
    out.im = v.value.imag();
    out.is_real = v.isReal ? 1 : 0;
    out.real = v.isReal ? v.realValue : v.value.real();
    return out;
}

XVALUE fromValue(const tly_value& v) {
    XVALUE out;
    out.isReal = v.is_real != 0;
    out.realValue = out.isReal ? v.real : v.re;
    out.value = {out.isReal ? v.real : v.re, out.isReal ? 0.0 : v.im};
    return out;
}

}  // namespace

struct tly_engine final : ExpressionErrorPresenter, NoticeSink {
    EngineState state;
    std::vector<Kept> kept;
    std::vector<tly_notice> views;  // kept, as the C records point into it
    std::vector<std::string> namesUsed;
    tly_notice_callback callback = nullptr;
    void* callbackUser = nullptr;

    tly_engine() {
        state.presenter = this;
        state.notices = this;
    }

    // A call that gives notices starts with none.
    void startCall() {
        kept.clear();
        views.clear();
    }

    void present(const ExpressionErrorReport& report) override {
        Kept k;
        k.kind = TLY_NOTICE_EXPRESSION;
        k.caption = "EXPRESSION ERROR";
        k.text = report.message;
        k.context = report.context;
        markedColumns(report.marker, k.first, k.last);
        tell(std::move(k));
    }
    void warn(std::string_view caption, std::string_view text) override { note(TLY_NOTICE_WARNING, caption, text); }
    void info(std::string_view caption, std::string_view text) override { note(TLY_NOTICE_INFO, caption, text); }
    void stop(std::string_view caption, std::string_view text) override { note(TLY_NOTICE_STOP, caption, text); }
    bool ask(std::string_view caption, std::string_view text) override {
        return note(TLY_NOTICE_QUESTION, caption, text);
    }

    const tly_notice* noticeAt(int i) {
        if (views.size() != kept.size()) {
            views.clear();
            for (const Kept& k : kept) {
                views.push_back({k.caption.c_str(), k.text.c_str(), k.context.c_str(), k.first, k.last});
            }
        }
        return i >= 0 && i < static_cast<int>(views.size()) ? &views[static_cast<std::size_t>(i)] : nullptr;
    }

    // The first fault of the current call: an expression's, else an
    // internal one, else a warning.
    const Kept* firstFault() const {
        for (int kind : {TLY_NOTICE_EXPRESSION, TLY_NOTICE_STOP, TLY_NOTICE_WARNING}) {
            for (const Kept& k : kept) {
                if (k.kind == kind) return &k;
            }
        }
        return nullptr;
    }

private:
    bool note(int kind, std::string_view caption, std::string_view text) {
        Kept k;
        k.kind = kind;
        k.caption = caption;
        k.text = text;
        return tell(std::move(k));
    }
    bool tell(Kept k) {
        kept.push_back(std::move(k));
        views.clear();
        if (callback == nullptr) return false;
        const Kept& last = kept.back();
        const tly_notice notice{last.caption.c_str(), last.text.c_str(), last.context.c_str(), last.first, last.last};
        return callback(callbackUser, last.kind, &notice) != 0;
    }
};

namespace {

void setError(tly_error* error, std::string_view message, int first = 0, int last = 0) {
    if (error == nullptr) return;
    error->first = first;
    error->last = last;
    copyText(message, error->message, sizeof error->message);
}

// ERROR from the first fault the engine told during the call; OFFSET is
// added to its columns (the blanks the engine left out before the text).
void setErrorFromFault(const tly_engine& engine, tly_error* error, int offset) {
    const Kept* fault = engine.firstFault();
    if (fault == nullptr) return setError(error, "Expression not evaluated");
    const bool marked = fault->kind == TLY_NOTICE_EXPRESSION && fault->first > 0;
    setError(error, fault->text, marked ? fault->first + offset : 0, marked ? fault->last + offset : 0);
}

// How many characters the engine leaves out before TEXT: its leading blanks
// and control characters, one column each; none when there is nothing else.
int leadingBlanks(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && static_cast<unsigned char>(text[n]) <= ' ') ++n;
    return n == text.size() ? 0 : static_cast<int>(n);
}

// Entries FROM..count evaluated again without a word: a fault shows as the
// entry's valid flag.
void reevaluateFrom(EngineState& st, int from) {
    const bool quiet = st.quiet;
    st.quiet = true;
    for (int i = std::max(from, 1); i <= st.paramCount; ++i) PXNSOLVEPARAM(st, i);
    st.quiet = quiet;
}

std::string_view orEmpty(const char* text) { return text == nullptr ? std::string_view{} : std::string_view(text); }

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

extern "C" {

const char* tly_version(void) { return TALLYON_VERSION; }

tly_engine* tly_engine_new(void) { return new (std::nothrow) tly_engine; }

void tly_engine_free(tly_engine* engine) { delete engine; }

int tly_eval(tly_engine* engine, const char* text, tly_value* value, tly_error* error) {
    return evaluateOnEngine(engine, text, false, value, error);
}

}  // extern "C"

int evaluateOnEngine(tly_engine* engine, const char* text, bool realOnly, tly_value* value, tly_error* error) {
    if (value != nullptr) *value = tly_value{};
    if (engine == nullptr || text == nullptr) {
        setError(error, "No engine or no text");
        return 1;
    }
    try {
        engine->startCall();
        EngineState& st = engine->state;
        // The caller's real-only request is the engine's switch for this
        // evaluation: so the fast path gives way on a complex value, and the
        // report marks the prepared line.
        struct Switch {
            bool& flag;
            bool before;
            ~Switch() { flag = before; }
        } realOnlyFor{st.realOnly, st.realOnly};
        st.realOnly = st.realOnly || realOnly;
        XVALUE v;
        bool ok = solveParameterValue(st, text, st.paramCount, v);
        if (ok && st.realOnly && !v.isReal) {
            PXNWHINE(st, kRealRequiredMessage, 1, 0);
            ok = false;
        }
        if (!ok) {
            setErrorFromFault(*engine, error, leadingBlanks(text));
            return 1;
        }
        if (value != nullptr) *value = valueOf(v);
        return 0;
    } catch (...) {
        setError(error, kOutOfMemory);
        return 1;
    }
}

extern "C" {

void tly_set_real_only(tly_engine* engine, int on) {
    if (engine != nullptr) engine->state.realOnly = on != 0;
}

int tly_param_set(tly_engine* engine, const char* name, const char* expression, const char* comment,
                  int factor_only, tly_error* error) {
    if (engine == nullptr || name == nullptr || expression == nullptr) {
        setError(error, "No engine, name or expression");
        return 1;
    }
    try {
        engine->startCall();
        EngineState& st = engine->state;
        const int index = lookUpParameter(st, name);
        const std::string_view note = orEmpty(comment);
        if (index == 0) {
            // A new entry; refused, it leaves the table as it was.
            if (!addParameter(st, name, expression, note, factor_only != 0, false)) {
                setErrorFromFault(*engine, error, 0);
                return 1;
            }
            XVALUE v;
            if (!solveParameterValue(st, expression, st.paramCount - 1, v)) {
                deleteParameter(st, name);
                setErrorFromFault(*engine, error, leadingBlanks(expression));
                return 1;
            }
            XPARAM& entry = st.params[static_cast<std::size_t>(st.paramCount - 1)];
            entry.valid = true;
            entry.value = v;
            return 0;
        }
        // A changed entry: its expression is tried before anything changes.
        XVALUE v;
        // An expression too long to store is told as such by the edit below.
        const bool storable = textkit::trimRight(expression).size() <= static_cast<std::size_t>(kFieldLength);
        if (storable && !solveParameterValue(st, expression, index - 1, v)) {
            setErrorFromFault(*engine, error, leadingBlanks(expression));
            return 1;
        }
        if (!editParameter(st, name, expression, note, factor_only != 0, true)) {
            setErrorFromFault(*engine, error, 0);
            return 1;
        }
        reevaluateFrom(st, index + 1);
        return 0;
    } catch (...) {
        setError(error, kOutOfMemory);
        return 1;
    }
}

int tly_param_delete(tly_engine* engine, const char* name) {
    if (engine == nullptr || name == nullptr) return 1;
    try {
        engine->startCall();
        const int index = lookUpParameter(engine->state, name);
        if (index == 0 || !deleteParameter(engine->state, name)) return 1;
        reevaluateFrom(engine->state, index);
        return 0;
    } catch (...) {
        return 1;
    }
}

static int moveParameter(tly_engine* engine, int index, int by) {
    if (engine == nullptr) return 1;
    EngineState& st = engine->state;
    const int to = index + by;
    if (index < 1 || index > st.paramCount || to < 1 || to > st.paramCount) return 1;
    try {
        engine->startCall();
        if (by < 0) {
            moveParameterUp(st, index);
        } else {
            moveParameterDown(st, index);
        }
        reevaluateFrom(st, std::min(index, to));
        return 0;
    } catch (...) {
        return 1;
    }
}

int tly_param_move_up(tly_engine* engine, int index) { return moveParameter(engine, index, -1); }

int tly_param_move_down(tly_engine* engine, int index) { return moveParameter(engine, index, +1); }

int tly_param_count(const tly_engine* engine) { return engine == nullptr ? 0 : engine->state.paramCount; }

int tly_param_find(const tly_engine* engine, const char* name) {
    if (engine == nullptr || name == nullptr) return 0;
    // The lookup only reads the table; its index keeps no state a reader sees.
    return lookUpParameter(const_cast<EngineState&>(engine->state), name);
}

int tly_param_get(const tly_engine* engine, int index, tly_param* param) {
    if (engine == nullptr || param == nullptr || index < 1 || index > engine->state.paramCount) return 1;
    const XPARAM& p = engine->state.params[static_cast<std::size_t>(index - 1)];
    *param = tly_param{};
    copyText(p.name.view(), param->name, sizeof param->name);
    copyText(p.expression.view(), param->expression, sizeof param->expression);
    copyText(p.comment.view(), param->comment, sizeof param->comment);
    param->factor_only = p.factorOnly ? 1 : 0;
    param->valid = p.valid ? 1 : 0;
    if (p.valid) param->value = valueOf(p.value);
    return 0;
}

void tly_param_clear(tly_engine* engine) {
    if (engine == nullptr) return;
    EngineState& st = engine->state;
    st.params.clear();
    st.paramCount = 0;
    st.paramNames = TableNames{};
    ++st.changes;
}

int tly_list_read(tly_engine* engine, const char* text, size_t length, const char* source) {
    if (engine == nullptr || (text == nullptr && length > 0)) return -1;
    try {
        engine->startCall();
        std::istringstream in(listText(std::string_view(text == nullptr ? "" : text, length)));
        return readParameterLines(engine->state, in, false, orEmpty(source));
    } catch (...) {
        return -1;
    }
}

int tly_notice_count(const tly_engine* engine) {
    return engine == nullptr ? 0 : static_cast<int>(engine->kept.size());
}

const tly_notice* tly_notice_at(const tly_engine* engine, int i) {
    if (engine == nullptr) return nullptr;
    try {
        // The C records are made when first asked for.
        return const_cast<tly_engine*>(engine)->noticeAt(i);
    } catch (...) {
        return nullptr;
    }
}

size_t tly_list_write(const tly_engine* engine, char* buffer, size_t size) {
    if (size > 0 && buffer != nullptr) buffer[0] = '\0';
    if (engine == nullptr) return 0;
    try {
        std::ostringstream out;
        writeParameterLines(engine->state, out);
        const std::string text = std::move(out).str();
        if (buffer != nullptr && size > 0) {
            const std::size_t n = std::min(text.size(), size - 1);
            std::memcpy(buffer, text.data(), n);
            buffer[n] = '\0';
        }
        return text.size();
    } catch (...) {
        return 0;
    }
}

int tly_names_used(tly_engine* engine, const char* text, tly_error* error) {
    if (engine == nullptr || text == nullptr) {
        setError(error, "No engine or no text");
        return -1;
    }
    try {
        engine->startCall();
        engine->namesUsed.clear();
        EngineState& st = engine->state;
        if (st.solving) {
            reportLogicError(st, "Routine PXNPREP entered during an evaluation.");
            setErrorFromFault(*engine, error, 0);
            return -1;
        }
        if (PXNPREP(st, text) != 0) {
            setErrorFromFault(*engine, error, leadingBlanks(text));
            return -1;
        }
        // Each run of name characters in the class string is one name; its
        // bytes as typed stand in the display line at the columns of the map.
        std::vector<ParamKey> seen;
        const std::string_view cls = st.classString();
        for (std::size_t k = 0; k < cls.size(); ++k) {
            if (cls[k] != 'L') continue;
            std::string typed;
            std::size_t end = k;
            for (; end < cls.size() && cls[end] == 'L'; ++end) {
                const int column = st.pos[end + 1];
                if (column >= 1) typed += st.display[static_cast<std::size_t>(column - 1)];
            }
            k = end - 1;
            const std::optional<ParamKey> key = parameterKey(typed);
            if (key && std::find(seen.begin(), seen.end(), *key) != seen.end()) continue;
            if (key) seen.push_back(*key);
            engine->namesUsed.push_back(std::move(typed));
        }
        return static_cast<int>(engine->namesUsed.size());
    } catch (...) {
        setError(error, kOutOfMemory);
        return -1;
    }
}

const char* tly_name_used(const tly_engine* engine, int i) {
    if (engine == nullptr || i < 0 || i >= static_cast<int>(engine->namesUsed.size())) return nullptr;
    return engine->namesUsed[static_cast<std::size_t>(i)].c_str();
}

int tly_function_define(tly_engine* engine, const char* name, int min_args, int max_args, tly_function fn,
                        void* user) {
    if (engine == nullptr || name == nullptr || fn == nullptr) return 1;
    if (min_args < 1 || max_args < min_args || max_args > 4) return 1;
    const std::string_view given(name);
    if (given.empty() || given.size() > 31 || !isAsciiLetter(given[0])) return 1;
    try {
        std::string upper = "#";
        for (const char c : given) {
            const bool digit = c >= '0' && c <= '9';
            if (!isAsciiLetter(c) && !digit && c != '_') return 1;
            upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
        }
        if (builtinFunctionCode(upper) != 0) return 1;
        HostFunction host;
        host.name = upper;
        host.minArgs = min_args;
        host.maxArgs = max_args;
        host.compute = [fn, user](std::span<const XVALUE> args, XVALUE& out, std::string& message) {
            tly_value in[4] = {};
            for (std::size_t i = 0; i < args.size() && i < 4; ++i) in[i] = valueOf(args[i]);
            tly_value result{};
            char text[160] = {};
            if (fn(user, static_cast<int>(args.size()), in, &result, text, sizeof text) != 0) {
                text[sizeof text - 1] = '\0';
                message = text[0] != '\0' ? text : "Function failed";
                return false;
            }
            out = fromValue(result);
            return true;
        };
        std::vector<HostFunction>& functions = engine->state.hostFunctions;
        const auto same = std::find_if(functions.begin(), functions.end(),
                                       [&](const HostFunction& f) { return f.name == upper; });
        if (same != functions.end()) {
            *same = std::move(host);
        } else {
            functions.push_back(std::move(host));
        }
        return 0;
    } catch (...) {
        return 1;
    }
}

void tly_set_notice_callback(tly_engine* engine, tly_notice_callback callback, void* user) {
    if (engine == nullptr) return;
    engine->callback = callback;
    engine->callbackUser = user;
}

}  // extern "C"
