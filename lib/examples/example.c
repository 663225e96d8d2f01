/* A program that uses the Tallyon engine through tallyon.h alone: it
 * evaluates an expression, reports a faulty one, and keeps two engines'
 * tables apart. Build it against the SDK, for instance:
 *   x86_64-w64-mingw32-gcc -std=c99 -Iinclude example.c -Llib -ltallyon -o example.exe
 *   cc -std=c99 example.c $(pkg-config --cflags --libs tallyon) -o example */
#include <stdio.h>

#include "tallyon.h"

static int show(tly_engine *engine, const char *text) {
    tly_value value;
    tly_error error;
    if (tly_eval(engine, text, &value, &error) != 0) {
        printf("%-12s fault: %s (columns %d to %d)\n", text, error.message, error.first, error.last);
        return 1;
    }
    if (value.is_real) {
        printf("%-12s = %.17g\n", text, value.real);
    } else {
        printf("%-12s = (%.17g, %.17g)\n", text, value.re, value.im);
    }
    return 0;
}

int main(void) {
    tly_engine *metric = tly_engine_new();
    tly_engine *imperial = tly_engine_new();
    tly_error error;
    int faults = 0;
    if (metric == NULL || imperial == NULL) {
        fprintf(stderr, "out of memory\n");
        return 2;
    }
    printf("Tallyon %s\n", tly_version());

    faults += show(metric, "2*(3+4)");
    faults += show(metric, "2+");

    /* The same name in two engines: each keeps its own. */
    if (tly_param_set(metric, "LENGTH", "2.5", "metres", 0, &error) != 0 ||
        tly_param_set(imperial, "LENGTH", "8.2", "feet", 0, &error) != 0) {
        fprintf(stderr, "%s\n", error.message);
        return 2;
    }
    faults += show(metric, "LENGTH*2");
    faults += show(imperial, "LENGTH*2");
    faults += show(metric, "(3,4)*LENGTH");

    tly_engine_free(imperial);
    tly_engine_free(metric);
    /* One fault was meant: the "2+". */
    return faults == 1 ? 0 : 1;
}
