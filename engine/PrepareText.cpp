// The small text routines preparation is built from, and the built-in
// function table it fills. They keep the working text, class string and
// source position map aligned: every insertion and deletion touches all three.
#include <algorithm>

#include "EngineState.h"

namespace {

void setFunction(int index, std::string_view name, int minArgs, int maxArgs, int kind) {
    FunctionSpec& f = engineState().functions[static_cast<size_t>(index)];
    f.name = name;
    f.minArgs = minArgs;
    f.maxArgs = maxArgs;
    f.kind = kind;
}

}  // namespace

void fillFunctionTable() {
    // The order gives each function its token code.
    setFunction(1, "#ABS", 1, 1, 0);
    setFunction(2, "#ATAN2", 2, 2, 1);
    setFunction(3, "#ATAN2D", 2, 2, 1);
    setFunction(4, "#CMPLX", 2, 2, 1);
    setFunction(5, "#CONJG", 1, 1, -1);
    setFunction(6, "#COS", 1, 1, 1);
    setFunction(7, "#COSD", 1, 1, 1);
    setFunction(8, "#EXP", 1, 1, 0);
    setFunction(9, "#IMAG", 1, 1, -1);
    setFunction(10, "#INT", 1, 1, 0);
    setFunction(11, "#LN", 1, 1, 0);
    setFunction(12, "#LOG", 1, 1, 1);
    setFunction(13, "#MAX", 2, 4, 1);
    setFunction(14, "#MIN", 2, 4, 1);
    setFunction(15, "#MOD", 2, 2, 1);
    setFunction(16, "#NINT", 1, 1, 0);
    setFunction(17, "#REAL", 1, 1, 0);
    setFunction(18, "#SIN", 1, 1, 1);
    setFunction(19, "#SIND", 1, 1, 1);
    setFunction(20, "#SQRT", 1, 1, 0);
    setFunction(21, "#IF", 3, 3, 1);
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
    // Rescanning from the start after each replacement also catches
    // occurrences that a replacement creates. Every replacement the engine
    // asks for converges; the bound only protects against a future rule
    // that would not.
    const int bound = static_cast<int>(text.size() * text.size()) + 1;
    int count = 0;
    for (;;) {
        const std::size_t at = whole.find(from);
        if (at == std::string_view::npos) break;
        std::copy(to.begin(), to.end(), text.begin() + static_cast<std::ptrdiff_t>(at));
        if (++count > bound) {
            reportLogicError("Routine PXNREP given bad arguments.");
            break;
        }
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
    for (int i = newLength; i > k; --i) {
        st.text[static_cast<size_t>(i)] = st.text[static_cast<size_t>(i - 1)];
        st.cls[static_cast<size_t>(i)] = st.cls[static_cast<size_t>(i - 1)];
        st.pos[static_cast<size_t>(i)] = st.pos[static_cast<size_t>(i - 1)];
    }
    // The inserted character belongs to the column of the one it precedes,
    // so its position map entry stays as it was.
    st.text[static_cast<size_t>(k)] = c1;
    st.cls[static_cast<size_t>(k)] = c2;
    st.n = newLength;
    return 0;
}

int PXNSQUEEZ(char c) {
    EngineState& st = engineState();
    for (;;) {
        int at = 0;
        for (int i = 1; i <= st.n; ++i) {
            if (st.cls[static_cast<size_t>(i)] == c) {
                at = i;
                break;
            }
        }
        if (at == 0) break;
        for (int i = at; i < st.n; ++i) {
            st.text[static_cast<size_t>(i)] = st.text[static_cast<size_t>(i + 1)];
            st.cls[static_cast<size_t>(i)] = st.cls[static_cast<size_t>(i + 1)];
            st.pos[static_cast<size_t>(i)] = st.pos[static_cast<size_t>(i + 1)];
        }
        st.text[static_cast<size_t>(st.n)] = ' ';
        st.cls[static_cast<size_t>(st.n)] = 'X';
        st.pos[static_cast<size_t>(st.n)] = 0;
        --st.n;
    }
    return 0;
}
