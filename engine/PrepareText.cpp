// The small text routines preparation is built from, and the built-in
// function table it fills. They keep the working text, class string and
// source position map aligned: every insertion and deletion touches all three.
#include <algorithm>
#include <cstring>

#include "EngineState.h"

namespace {

// The table's contents never change; each preparation copies them in whole.
std::array<BuiltinFunction, kFunctionCount + 1> makeFunctionTable() {
    std::array<BuiltinFunction, kFunctionCount + 1> t{};
    auto set = [&t](int index, std::string_view name, int minArgs, int maxArgs, int kind) {
        BuiltinFunction& f = t[static_cast<size_t>(index)];
        f.name = name;
        f.minArgs = minArgs;
        f.maxArgs = maxArgs;
        f.kind = kind;
    };
    // The order gives each function its token code.
    set(1, "#ABS", 1, 1, 0);
    set(2, "#ATAN2", 2, 2, 1);
    set(3, "#ATAN2D", 2, 2, 1);
    set(4, "#CMPLX", 2, 2, 1);
    set(5, "#CONJG", 1, 1, -1);
    set(6, "#COS", 1, 1, 1);
    set(7, "#COSD", 1, 1, 1);
    set(8, "#EXP", 1, 1, 0);
    set(9, "#IMAG", 1, 1, -1);
    set(10, "#INT", 1, 1, 0);
    set(11, "#LN", 1, 1, 0);
    set(12, "#LOG", 1, 1, 1);
    set(13, "#MAX", 2, 4, 1);
    set(14, "#MIN", 2, 4, 1);
    set(15, "#MOD", 2, 2, 1);
    set(16, "#NINT", 1, 1, 0);
    set(17, "#REAL", 1, 1, 0);
    set(18, "#SIN", 1, 1, 1);
    set(19, "#SIND", 1, 1, 1);
    set(20, "#SQRT", 1, 1, 0);
    set(21, "#IF", 3, 3, 1);
    return t;
}

}  // namespace

void fillFunctionTable() {
    static const std::array<BuiltinFunction, kFunctionCount + 1> table = makeFunctionTable();
    EngineState& s = engineState();
    if (s.functionsFilled) return;
    s.functions = table;
    s.functionsFilled = true;
}

int PXNSIMPLIFY(std::span<char> text, std::string_view set, char c) {
    // Replacing by a member of the set would make the result depend on order.
    if (set.find(c) != std::string_view::npos) {
        reportLogicError("Routine PXNSIMPLIFY given bad arguments.");
        return 0;
    }
    for (char& ch : text) {
        if (set.find(ch) != std::string_view::npos) ch = c;
    }
    return 0;
}

int PXNREP(std::span<char> text, std::string_view from, std::string_view to) {
    // Equal lengths keep the class string aligned with the working text; an
    // empty or unchanged pattern would never stop matching.
    if (from.size() != to.size() || from.empty() || from == to) {
        reportLogicError("Routine PXNREP given bad arguments.");
        return 0;
    }
    const std::string_view whole(text.data(), text.size());
    // The next leftmost occurrence after a replacement cannot start more
    // than one pattern length before it: nothing earlier matched, and only
    // the replaced characters changed. So the search resumes there, which
    // finds exactly what a rescan from the start would, including the
    // occurrences that a replacement creates. Every replacement the engine
    // asks for converges; the bound only protects against a future rule
    // that would not.
    const std::size_t back = from.size() - 1;
    const int bound = static_cast<int>(text.size() * text.size()) + 1;
    int count = 0;
    for (std::size_t fromHere = 0;;) {
        const std::size_t at = whole.find(from, fromHere);
        if (at == std::string_view::npos) break;
        std::copy(to.begin(), to.end(), text.begin() + static_cast<std::ptrdiff_t>(at));
        if (++count > bound) {
            reportLogicError("Routine PXNREP given bad arguments.");
            break;
        }
        fromHere = at > back ? at - back : 0;
    }
    return count;
}

int PXNINSERT(int k, char c1, char c2) {
    EngineState& st = engineState();
    const int newLength = st.n + 1;
    if (newLength > kFieldLength) {
        PXNWHINE("Given line too long after processing", kFieldLength, kFieldLength);
        return 1;
    }
    if (k < 1 || k > newLength) {
        reportLogicError("Routine PXNINSERT given bad arguments.");
        return 1;
    }
    // Positions k..n move one place right in all three strings. The inserted
    // character belongs to the column of the one it precedes, so its position
    // map entry stays as it was.
    const auto from = static_cast<size_t>(k);
    const auto moved = static_cast<size_t>(newLength - k);
    std::memmove(st.text.data() + from + 1, st.text.data() + from, moved);
    std::memmove(st.cls.data() + from + 1, st.cls.data() + from, moved);
    std::memmove(st.pos.data() + from + 1, st.pos.data() + from, moved * sizeof(int));
    st.text[from] = c1;
    st.cls[from] = c2;
    st.n = newLength;
    return 0;
}

int PXNSQUEEZ(char c) {
    // Deleting the leftmost C again and again leaves the other positions in
    // order, closed up, with the freed ones at the end; one pass does that.
    EngineState& st = engineState();
    char* const text = st.text.data();
    char* const cls = st.cls.data();
    int* const pos = st.pos.data();
    const int n = st.n;
    int kept = 0;
    for (int i = 1; i <= n; ++i) {
        if (cls[i] == c) continue;
        ++kept;
        text[kept] = text[i];
        cls[kept] = cls[i];
        pos[kept] = pos[i];
    }
    for (int i = kept + 1; i <= n; ++i) {
        text[i] = ' ';
        cls[i] = 'X';
        pos[i] = 0;
    }
    st.n = kept;
    return 0;
}
