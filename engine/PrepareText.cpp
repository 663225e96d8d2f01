// The small text routines preparation is built from. They keep the working text, class string and
// source position map aligned: every insertion and deletion touches all three.
#include <algorithm>
#include <cstring>

#include "EngineState.h"

int PXNINSERT(EngineState& st, int k, char c1, char c2) {
    const int newLength = st.n + 1;
    if (newLength > kFieldLength) {
        PXNWHINE(st, "Given line too long after processing", kFieldLength, kFieldLength);
        return 1;
    }
    if (k < 1 || k > newLength) {
        reportLogicError(st, "Routine PXNINSERT given bad arguments.");
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

int PXNSQUEEZ(EngineState& st, char c) {
    // Deleting the leftmost C again and again leaves the other positions in
    // order, closed up, with the freed ones at the end; one pass does that.
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
