// The parameter table: named values that expressions may use, kept in the
// order of definition, since an entry may use only the entries before it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "EngineState.h"
#include "Seams.h"
#include "WflStrings.h"
#include "Wflextra.h"
#include "Text.h"
#include "Unicode.h"

namespace {

constexpr int kNameLength = 16;
constexpr int kExpressionLength = 64;
constexpr int kGrowth = 16;

XPARAM& entry(EngineState& e, int index) { return e.params[static_cast<size_t>(index - 1)]; }

// Names compare with blanks and control characters squeezed out and letters
// upper-cased. The key is built in place, without allocating, because the
// decoder looks a name up for every parameter reference. A name longer than
// a stored name can be matches nothing: cutting it would find another one.
struct NameKey {
    ParamKey chars = kBlankKey;
    bool fits = true;
};
// A byte of a name as its key holds it: upper-cased, except that 0xF7 ("÷"
// in the Windows code page) is no lower-case "×" (0xD7), though it stands
// where the upper-casing rule would make it one: two names that differ by
// those signs are two names.
constexpr char keyChar(unsigned char b) {
    const bool lower = (b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7);
    return static_cast<char>(lower ? b - 32 : b);
}

// The key bytes of the character of NAME at `at`, written to OUT: a
// character of several bytes in UTF-8 upper-cased as a letter (its capital
// takes as many bytes), a single byte as keyChar has it. How many bytes the
// character took.
std::size_t keyCharacter(std::string_view name, std::size_t at, char* out) {
    const auto b = static_cast<unsigned char>(name[at]);
    const utf8::Character c = b < 0x80 ? utf8::Character{} : utf8::multiByteAt(name, at);
    if (c.length == 0) {
        *out = keyChar(b);
        return 1;
    }
    const std::string capital = utf8::encode(utf8::upper(c.code));
    std::memcpy(out, capital.data(), c.length);
    return c.length;
}

NameKey makeKey(std::string_view name) {
    // Each byte as the key holds it: 0 for a blank or control character
    // (squeezed out), else keyChar.
    static constexpr auto kKeyChar = [] {
        std::array<char, 256> t{};
        for (int b = 33; b < 256; ++b) t[static_cast<std::size_t>(b)] = keyChar(static_cast<unsigned char>(b));
        return t;
    }();
    NameKey key;
    std::size_t n = 0;
    for (std::size_t i = 0; i < name.size();) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (b >= 0x80) {
            char bytes[4];
            const std::size_t length = keyCharacter(name, i, bytes);
            if (n + length > key.chars.size()) {
                key.fits = false;
                break;
            }
            std::memcpy(key.chars.data() + n, bytes, length);
            n += length;
            i += length;
            continue;
        }
        ++i;
        const char k = kKeyChar[b];
        if (k == 0) continue;
        if (n == key.chars.size()) {
            key.fits = false;
            break;
        }
        key.chars[n++] = k;
    }
    return key;
}

// The key a stored name is found by: its 16 characters upper-cased.
ParamKey keyOf(const FixedText<kNameLength>& name) {
    ParamKey key;
    const std::string_view text(name.data(), kNameLength);
    char bytes[4];
    for (std::size_t i = 0; i < key.size();) {
        const std::size_t length = keyCharacter(text, i, bytes);
        std::memcpy(key.data() + i, bytes, length);
        i += length;
    }
    return key;
}

// Entries lo and lo + 1 change places, and so do their names: every
// routine that changes a name or the order of entries tells the table's
// names, and they keep their index in step.
void swapNeighbours(EngineState& e, int lo) {
    std::swap(entry(e, lo), entry(e, lo + 1));
    e.paramNames.swapNeighbours(lo);
}


std::string quoted(std::string_view text) { return "\"" + std::string(textkit::trimRight(text)) + "\""; }

bool warn(NoticeSink& notices, std::string_view caption, const std::string& text) {
    notices.warn(caption, text);
    return false;
}

// For the name rules an underscore and bytes above 127 count as the letter A.
char nameRuleChar(char c) {
    const char u = upperChar(c);
    return (u == '_' || static_cast<unsigned char>(u) > 127) ? 'A' : u;
}
// The first character of NAME that no name may hold, upper-cased; empty
// when there is none. A character of several bytes in UTF-8 is one
// character, allowed when utf8::isNameCharacter says so; a sign such as "∞"
// or a digit of another script is not. A single byte above 127 is allowed,
// as text in the older code pages has it.
std::string badNameCharacter(std::string_view name) {
    static constexpr auto kAllowed = [] {
        std::array<bool, 128> allowed{};
        for (int b = 0; b < 128; ++b) {
            allowed[static_cast<std::size_t>(b)] = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_' ||
                                                   (b >= '0' && b <= '9');
        }
        return allowed;
    }();
    for (std::size_t i = 0; i < name.size();) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (b < 0x80) {
            if (!kAllowed[b]) return std::string(1, upperChar(static_cast<char>(b)));
            ++i;
            continue;
        }
        const utf8::Character c = utf8::multiByteAt(name, i);
        if (c.length == 0) {
            ++i;
            continue;
        }
        if (!utf8::isNameCharacter(c.code)) return std::string(name.substr(i, c.length));
        i += c.length;
    }
    return {};
}
// Whether every character of NAME is a letter or digit by those rules; one
// table look per character, as every new entry's name goes through it.
bool allNameCharacters(std::string_view name) {
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) return badNameCharacter(name).empty();
        if (!((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_' || (b >= '0' && b <= '9'))) return false;
    }
    return true;
}
bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }

bool expressionTooLong(NoticeSink& notices, std::string_view expression) {
    if (textkit::trimRight(expression).size() <= static_cast<std::size_t>(kExpressionLength)) return false;
    warn(notices, "TOO LONG", "The given expression " + quoted(expression) + " is too long.  " + "64" + " chars. max.");
    return true;
}

// Whether the name meets every rule below but the duplicate check, seen
// at a glance; the rules themselves, with their warnings, are checked when
// it does not.
bool plainlyAcceptable(std::string_view name, std::string_view squeezed) {
    if (squeezed.empty() || textkit::trim(name).size() > static_cast<std::size_t>(kNameLength)) return false;
    if (!allNameCharacters(squeezed) || !isLetter(nameRuleChar(squeezed[0]))) return false;
    const char lead = upperChar(squeezed[0]);
    return (lead != 'D' && lead != 'E') || (squeezed.size() > 1 && isLetter(nameRuleChar(squeezed[1])));
}

// The warnings of a name that cannot be stored, in their order, told to
// NOTICES. The duplicate check looks in TABLE; it is left out (null) when
// the caller has just looked the name up.
[[gnu::noinline]] bool checkNameRules(NoticeSink& notices, EngineState* table, std::string_view name,
                                      std::string_view squeezed);
bool nameIsAcceptable(EngineState& e, std::string_view name, std::string_view squeezed, bool knownAbsent) {
    if (knownAbsent && plainlyAcceptable(name, squeezed)) return true;
    return checkNameRules(noticeSink(e), knownAbsent ? nullptr : &e, name, squeezed);
}
bool checkNameRules(NoticeSink& notices, EngineState* table, std::string_view name, std::string_view squeezed) {
    std::string_view given = textkit::trimRight(name);
    const std::string_view unlead = textkit::trimLeft(given);
    if (unlead.size() > static_cast<std::size_t>(kNameLength)) {
        return warn(notices, "TOO LONG", "The given name " + quoted(given) + " is too long.  " + "16" + " chars. max.");
    }
    if (squeezed.empty()) return warn(notices, "NAME MISSING", "Parameter name cannot be blank.");
    if (const std::string bad = badNameCharacter(squeezed); !bad.empty()) {
        return warn(notices, "BAD CHARACTER", "The given name " + quoted(squeezed) + " contains the character " + bad +
                                         ".  This character is not allowed in a parameter name.");
    }
    if (!isLetter(nameRuleChar(squeezed[0]))) {
        return warn(notices, "BAD NAME", "The given name " + quoted(squeezed) + " is not a legal parameter name" +
                                    ".  Parameter names must start with a letter.");
    }
    // D and E start exponents: D2 or E1 would read as a number.
    const char lead = upperChar(squeezed[0]);
    const char second = squeezed.size() > 1 ? nameRuleChar(squeezed[1]) : ' ';
    if ((lead == 'D' || lead == 'E') && !isLetter(second)) {
        return warn(notices, "BAD NAME", "The given name " + quoted(squeezed) + " is not a legal parameter name" +
                                    ".  Parameter names starting with a 'D' or 'E' must " +
                                    "be followed by a letter, i.e., " + "have a letter as their second character.");
    }
    const int existing = table != nullptr && table->paramCount > 0 ? lookUpParameter(*table, squeezed) : 0;
    if (existing != 0) {
        return warn(notices, "DUPLICATE NAME", "The given name " + quoted(squeezed) + " is not unique" +
                                          ".  Either delete or edit the existing parameter.");
    }
    return true;
}

void noteChange(EngineState& e) { ++e.changes; }

bool sameDefinition(const XPARAM& a, const XPARAM& b) {
    return a.name == b.name && a.expression == b.expression && a.comment == b.comment &&
           a.factorOnly == b.factorOnly;
}

void setUnevaluated(XPARAM& p) {
    p.valid = false;
    p.value = XVALUE{};
    p.value.isReal = true;
}

// XPARAMNEW with the name as given (NAME) and squeezed (SQUEEZED). A caller
// that has looked the name up already gives its key and where the index
// would take it.
struct KnownPlace {
    const ParamKey& key;
    const NameIndex::Place& place;
};
bool addEntry(EngineState& st, std::string_view name, std::string_view squeezed, const KnownPlace* known,
              std::string_view expression, std::string_view comment, bool factorOnly, bool evaluate,
              bool knownAbsent) {
    try {
        if (!nameIsAcceptable(st, name, squeezed, knownAbsent) || expressionTooLong(noticeSink(st), expression)) {
            return false;
        }
        if (st.paramCount == static_cast<int>(st.params.size())) st.params.resize(st.params.size() + kGrowth);
        const ParamKey key = known != nullptr ? known->key : keyOf(FixedText<kNameLength>(squeezed));
        // An earlier entry of the name stays first.
        if (known != nullptr) {
            st.paramNames.append(key, known->place);
        } else {
            st.paramNames.append(key);
        }
        const int index = ++st.paramCount;
        XPARAM& p = st.params[static_cast<std::size_t>(index - 1)];  // every field is set below
        p.name = squeezed;
        p.expression = expression;
        p.comment = comment;
        p.factorOnly = factorOnly;
        setUnevaluated(p);
        noteChange(st);
        if (evaluate) {
            // The new entry is visible but not yet valid, so naming itself
            // is reported as a parameter used before being defined. The
            // evaluation only reads the table.
            XVALUE value;
            if (solveParameterValue(st, expression, st.paramCount, value)) {
                p.valid = true;
                p.value = value;
            }
        }
        return true;
    } catch (...) {
        return false;  // out of memory: the table is as it was
    }
}

}  // namespace

bool addParameter(EngineState& engine, std::string_view name, std::string_view expression, std::string_view comment,
                  bool factorOnly, bool evaluate) {
    try {
        const std::string squeezed(textkit::trimRight(XSQUEEZE(name)));
        return addEntry(engine, name, squeezed, nullptr, expression, comment, factorOnly, evaluate, false);
    } catch (...) {
        return false;
    }
}

bool XPARAMNEW(std::string_view name, std::string_view expression, std::string_view comment, bool factorOnly,
               bool evaluate) {
    return addParameter(defaultEngine(), name, expression, comment, factorOnly, evaluate);
}

bool editParameter(EngineState& engine, std::string_view name, std::string_view expression, std::string_view comment,
                   std::optional<bool> factorOnly, bool evaluate) {
    const int index = lookUpParameter(engine, name);
    if (index == 0) return false;
    try {
        if (expressionTooLong(noticeSink(engine), expression)) return false;
    } catch (...) {
        return false;
    }
    // Stored squeezed like a new name, so the entry stays findable; the
    // name matched, so it fits.
    std::array<char, kNameLength> squeezed{};
    std::size_t n = 0;
    for (char c : name) {
        if (static_cast<unsigned char>(c) > ' ' && n < squeezed.size()) squeezed[n++] = c;
    }
    XPARAM& p = entry(engine, index);
    const XPARAM before = p;
    p.name = std::string_view(squeezed.data(), n);
    p.expression = expression;
    p.comment = comment;
    if (factorOnly) p.factorOnly = *factorOnly;
    if (!sameDefinition(p, before)) noteChange(engine);
    // The given name matched the entry, so its squeezed form has the same
    // key; should that ever change, the index is built again.
    try {
        engine.paramNames.rename(index, keyOf(p.name));
    } catch (...) {
        return false;
    }
    if (evaluate) return PXNSOLVEPARAM(engine, index);
    setUnevaluated(p);
    return true;
}

bool XPARAMEDIT(std::string_view name, std::string_view expression, std::string_view comment,
                std::optional<bool> factorOnly, bool evaluate) {
    return editParameter(defaultEngine(), name, expression, comment, factorOnly, evaluate);
}

bool XPARAMFETCH(int index, std::string* name, std::string* expression, std::string* comment, bool* factorOnly) {
    EngineState& e = defaultEngine();
    if (index < 1 || index > e.paramCount) return false;
    const XPARAM& p = entry(e, index);
    try {
        if (name != nullptr) *name = p.name.str();
        if (expression != nullptr) *expression = p.expression.str();
        if (comment != nullptr) *comment = p.comment.str();
    } catch (...) {
        return false;
    }
    if (factorOnly != nullptr) *factorOnly = p.factorOnly;
    return true;
}

int XPARAMCOUNT() { return defaultEngine().paramCount; }

int findParameterByKey(EngineState& engine, const ParamKey& key, int limit) {
    // The first entry among the first min(count, limit) whose key is KEY.
    return engine.paramNames.find(key, std::min(engine.paramCount, limit));
}

int findParameter(EngineState& engine, std::string_view name, int limit) {
    const NameKey key = makeKey(name);
    return key.fits ? findParameterByKey(engine, key.chars, limit) : 0;
}

std::optional<ParamKey> parameterKey(std::string_view name) {
    const NameKey key = makeKey(name);
    if (!key.fits) return std::nullopt;
    return key.chars;
}

int lookUpParameter(EngineState& engine, std::string_view name) {
    return findParameter(engine, name, engine.paramCount);
}

void XPARAMFIND(std::string_view name, int& index, std::optional<int> limit) {
    EngineState& e = defaultEngine();
    index = findParameter(e, name, limit.value_or(e.paramCount));
}

void reserveParameters(EngineState& st, int more) {
    const auto wanted = static_cast<std::size_t>(st.paramCount) + static_cast<std::size_t>(std::max(more, 0));
    try {
        // Whole steps of 16, as the table grows.
        st.params.reserve((wanted + kGrowth - 1) / kGrowth * kGrowth);
        st.paramNames.reserve(wanted);
    } catch (...) {
        // Without the room the table grows as it goes.
    }
}

bool storeParameter(EngineState& engine, std::string_view name, std::string_view expression,
                    std::string_view comment, bool factorOnly) {
    const NameKey key = makeKey(name);
    if (!key.fits) return addEntry(engine, name, name, nullptr, expression, comment, factorOnly, true, true);
    // Every entry of the table is in the index, so one look there tells
    // whether the name is new, and where a new one goes. The name is
    // squeezed already, so its lookup key is the key it is stored under.
    const NameIndex::Place place = engine.paramNames.locate(key.chars);
    if (place.entry != 0) return editParameter(engine, name, expression, comment, factorOnly, true);
    const KnownPlace known{key.chars, place};
    return addEntry(engine, name, name, &known, expression, comment, factorOnly, true, true);
}

namespace {

// Hears nothing: the rules below are asked, not told.
class DeafSink final : public NoticeSink {
public:
    void warn(std::string_view, std::string_view) override {}
    void info(std::string_view, std::string_view) override {}
    void stop(std::string_view, std::string_view) override {}
    bool ask(std::string_view, std::string_view) override { return false; }
};

}  // namespace

bool parameterStorable(std::string_view name, std::string_view expression, ParamKey& key) {
    const NameKey k = makeKey(name);
    key = k.chars;
    if (!k.fits) return false;
    if (plainlyAcceptable(name, name) && textkit::trimRight(expression).size() <= static_cast<std::size_t>(kExpressionLength)) {
        return true;
    }
    DeafSink deaf;
    return checkNameRules(deaf, nullptr, name, name) && !expressionTooLong(deaf, expression);
}

bool XPARAMGET(int index, XVALUE& value, bool reEvaluate) {
    EngineState& e = defaultEngine();
    if (index < 1 || index > e.paramCount) return false;
    const bool ok = reEvaluate ? PXNSOLVEPARAM(e, index) : true;
    value = entry(e, index).value;
    return ok && entry(e, index).valid;
}

void moveParameterUp(EngineState& engine, int index) {
    if (index > 1 && index <= engine.paramCount) {
        swapNeighbours(engine, index - 1);
        noteChange(engine);
    }
}

void moveParameterDown(EngineState& engine, int index) {
    if (index >= 1 && index < engine.paramCount) {
        swapNeighbours(engine, index);
        noteChange(engine);
    }
}

void XPARAMMOVEUP(int index) { moveParameterUp(defaultEngine(), index); }
void XPARAMMOVEDOWN(int index) { moveParameterDown(defaultEngine(), index); }

bool deleteParameter(EngineState& engine, std::string_view name) {
    const int index = lookUpParameter(engine, name);
    if (index == 0) return false;
    int& count = engine.paramCount;
    for (int i = index; i < count; ++i) entry(engine, i) = entry(engine, i + 1);
    entry(engine, count) = XPARAM{};
    --count;
    noteChange(engine);

    engine.paramNames.erase(index);
    return true;
}

bool XPARAMDELETE(std::string_view name) { return deleteParameter(defaultEngine(), name); }

bool updateParameters(EngineState& engine) {
    // Every entry is evaluated, even after a failure, so that each failing
    // one reports its own error.
    bool ok = true;
    for (int i = 1; i <= engine.paramCount; ++i) ok = PXNSOLVEPARAM(engine, i) && ok;
    return ok;
}

bool XPARAMUPDATE() { return updateParameters(defaultEngine()); }

bool XPARAMGETFACTOR(std::string_view name) {
    EngineState& e = defaultEngine();
    const int index = lookUpParameter(e, name);
    return index != 0 && entry(e, index).factorOnly;
}

void XPARAMQUIET(bool quiet) { defaultEngine().quiet = quiet; }

std::uint64_t paramTableChanges() { return defaultEngine().changes; }
