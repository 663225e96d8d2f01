/* tallyon.h: the Tallyon expression engine for other programs.
 *
 * An engine reads an arithmetic expression (real and complex numbers,
 * + - * / ^, the polar operator <, (re,im) pairs, # functions, named
 * parameters) and gives its value, or a fault with its message and the
 * columns it concerns. Each engine has its own parameter table and its own
 * switches.
 *
 * Rules for every call:
 *  - Texts are UTF-8, ending in a NUL, unless a length is given.
 *  - An engine is used by one thread at a time; different engines may be
 *    used by different threads at once. Nothing is shared between engines.
 *  - Nothing here shows a window, prints, or lets an exception through.
 *  - Records the caller passes (tly_value, tly_error, tly_param) belong to
 *    the caller; pointers the library returns stay valid until the next call
 *    on the same engine, unless said otherwise.
 *  - Indexes of parameters count from 1, as the table shows them.
 *
 * Compiles as C99 and as C++. */
#ifndef TALLYON_H
#define TALLYON_H

#include <stddef.h>

#if defined(_WIN32) && defined(TALLYON_BUILDING_LIBRARY)
#define TLY_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(TALLYON_STATIC)
#define TLY_API __declspec(dllimport)
#elif defined(TALLYON_BUILDING_LIBRARY) && defined(__GNUC__)
#define TLY_API __attribute__((visibility("default")))
#else
#define TLY_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct tly_engine tly_engine;

/* A value. re, im: the complex value, always set. is_real: the value is
 * real (its imaginary part is zero or negligible); real is then the value
 * as computed with real arithmetic, which can differ from re in the last
 * place. */
typedef struct tly_value {
    double re, im;
    int is_real;
    double real;
} tly_value;

/* A fault. message: the engine's own text, for instance "Missing operand
 * after"; a longer text than the record holds is cut at 159 bytes, and is
 * whole in the call's notice (tly_notice_at). first, last: the first and the
 * last column the error dialog marks under the text, counted in characters
 * from 1 in the text as given; 0 and 0 when it marks none. */
typedef struct tly_error {
    int first, last;
    char message[160];
} tly_error;

/* The library's version, "major.minor.patch". */
TLY_API const char *tly_version(void);

/* A new engine with an empty table; NULL when memory is short. */
TLY_API tly_engine *tly_engine_new(void);
/* Frees ENGINE and everything it holds; NULL is allowed. */
TLY_API void tly_engine_free(tly_engine *engine);

/* Evaluates TEXT with every parameter visible. 0: evaluated, VALUE is set.
 * 1: a fault, ERROR is set (when not NULL) and VALUE is zero. VALUE may be
 * NULL. */
TLY_API int tly_eval(tly_engine *engine, const char *text, tly_value *value, tly_error *error);

/* While ON, a value that is not real is a fault of tly_eval ("Expression has
 * non-zero imaginary part.  Pure real required.  Check for spurious
 * comma."). Off when an engine is made. */
TLY_API void tly_set_real_only(tly_engine *engine, int on);

/* ---- The parameter table --------------------------------------------------
 * Names hold up to 16 bytes, expressions and comments up to 64. Names are
 * compared with blanks left out and letters in capitals; a parameter may use
 * only the parameters before it. */

#define TLY_NAME_SIZE 17       /* a name and its NUL */
#define TLY_EXPRESSION_SIZE 65 /* an expression and its NUL */
#define TLY_COMMENT_SIZE 65    /* a comment and its NUL */

/* Stores NAME = EXPRESSION with COMMENT (NULL: none). A new name is added
 * at the end; a name the table holds has its entry changed in place. With
 * FACTOR_ONLY, a sign before the name in an expression is taken as a product
 * (2-IN is 2*IN) and a unary minus before it is ignored.
 * 0: stored; every later entry is evaluated again.
 * 1: refused, the table is as it was, ERROR tells why: a name or expression
 * the table cannot hold (the warning's text, columns 0), or an expression
 * that does not evaluate (its fault, columns in EXPRESSION). */
TLY_API int tly_param_set(tly_engine *engine, const char *name, const char *expression, const char *comment,
                          int factor_only, tly_error *error);

/* Deletes the entry of NAME. 0: deleted; 1: the table has no such name.
 * The entries after it are evaluated again. */
TLY_API int tly_param_delete(tly_engine *engine, const char *name);

/* Moves entry INDEX one place up (towards 1) or down. 0: moved; 1: it
 * cannot move that way. Every entry is then evaluated again, since an
 * entry can only use those before it. */
TLY_API int tly_param_move_up(tly_engine *engine, int index);
TLY_API int tly_param_move_down(tly_engine *engine, int index);

/* How many entries the table holds. */
TLY_API int tly_param_count(const tly_engine *engine);

/* The index of NAME, or 0 when the table has no such name. */
TLY_API int tly_param_find(const tly_engine *engine, const char *name);

/* One entry. valid: its expression evaluated when it was last evaluated,
 * and value holds the result; otherwise value is zero. */
typedef struct tly_param {
    char name[TLY_NAME_SIZE];
    char expression[TLY_EXPRESSION_SIZE];
    char comment[TLY_COMMENT_SIZE];
    int factor_only;
    int valid;
    tly_value value;
} tly_param;
/* 0: PARAM is set; 1: no entry INDEX. */
TLY_API int tly_param_get(const tly_engine *engine, int index, tly_param *param);

/* Empties the table. */
TLY_API void tly_param_clear(tly_engine *engine);

/* ---- Parameter list text --------------------------------------------------
 * The text of a parameter file: one "name=expression !comment" per line,
 * "*name=..." for a factor-only entry. */

/* What a read or a set told: a warning, or a fault of an entry's expression.
 * caption: "TOO LONG", "BAD NAME", "BAD CHARACTER", "NAME MISSING",
 * "DUPLICATE NAME", "READ WARNINGS", or "EXPRESSION ERROR" for a fault of an
 * expression. text: the message. context: for an expression fault, which
 * parameter ("parameter \"C\" of \"units.par\""), else "". first, last: for
 * an expression fault the columns in that expression, else 0. */
typedef struct tly_notice {
    const char *caption;
    const char *text;
    const char *context;
    int first, last;
} tly_notice;

/* Reads LENGTH bytes of list TEXT into the table: each line's name is
 * stored or changed, as tly_param_set does, but an entry whose expression
 * fails is kept (marked not valid), as a parameter file keeps it. The text
 * may be UTF-8 (with or without its mark) or, when it is not well-formed
 * UTF-8, in the system's ANSI code page (Windows-1252 outside Windows). SOURCE (NULL: none) names the text in the notices.
 * The reports of the first ten faulty lines are kept as notices; the faults
 * of later lines are counted in one "READ WARNINGS" notice.
 * Returns how many lines had faults; -1 when memory ran short. */
TLY_API int tly_list_read(tly_engine *engine, const char *text, size_t length, const char *source);

/* The notices of the last call on ENGINE that evaluates, changes the table
 * or reads (tly_eval, tly_param_set, tly_param_delete, tly_param_move_*,
 * tly_list_read, tly_names_used): how many, and each (0 to count - 1; NULL
 * past the end). */
TLY_API int tly_notice_count(const tly_engine *engine);
TLY_API const tly_notice *tly_notice_at(const tly_engine *engine, int i);

/* Writes the table as list text (UTF-8, lines ending in "\n") into BUFFER of
 * SIZE bytes, always ending it with a NUL when SIZE > 0. Returns the length
 * of the whole text without its NUL, as snprintf does: when that is SIZE or
 * more, the text was cut; call again with a larger buffer. */
TLY_API size_t tly_list_write(const tly_engine *engine, char *buffer, size_t size);

/* ---- What an expression uses ---------------------------------------------- */

/* The parameter names TEXT uses, without evaluating it: each once, in the
 * order they first appear, spelt as typed the first time (blanks inside a
 * name left out). Names the table does not hold are listed too. Returns how
 * many; -1 when TEXT has a fault its form already shows (ERROR is set then).
 * tly_name_used gives each (0 to count - 1; NULL past the end). */
TLY_API int tly_names_used(tly_engine *engine, const char *text, tly_error *error);
TLY_API const char *tly_name_used(const tly_engine *engine, int i);

/* ---- Functions of the program --------------------------------------------- */

/* A function the program computes. ARGS holds COUNT arguments (from MIN to
 * MAX of the definition, at most 4). Sets RESULT and returns 0; or writes a
 * message (at most MESSAGE_SIZE bytes with its NUL) and returns 1, and the
 * expression fails with that message over the call. USER is the pointer
 * given with the definition. Called on the thread that evaluates; it must
 * not use the same engine. */
typedef int (*tly_function)(void *user, int count, const tly_value *args, tly_value *result, char *message,
                            size_t message_size);

/* Defines #NAME for ENGINE only (NAME without its "#": a letter, then
 * letters, digits or "_"; up to 31 bytes; compared in capitals). A name of a
 * built-in function cannot be taken; a name defined before is replaced.
 * 0: defined; 1: refused (a bad name, MIN_ARGS < 1, MAX_ARGS < MIN_ARGS,
 * MAX_ARGS > 4, or FN NULL). */
TLY_API int tly_function_define(tly_engine *engine, const char *name, int min_args, int max_args, tly_function fn,
                                void *user);

/* ---- Notices as they happen ------------------------------------------------ */

#define TLY_NOTICE_WARNING 1  /* a warning, as the read and the table give them */
#define TLY_NOTICE_INFO 2     /* information */
#define TLY_NOTICE_STOP 3     /* an internal fault of the engine */
#define TLY_NOTICE_QUESTION 4 /* a yes/no question; the return value answers it */
#define TLY_NOTICE_EXPRESSION 5 /* a fault of an expression (first, last set) */

/* Called for every notice ENGINE gives, besides recording it; its return
 * value answers a question (nonzero: yes) and is ignored otherwise. NULL
 * removes it. Without a callback every question is answered no. */
typedef int (*tly_notice_callback)(void *user, int kind, const tly_notice *notice);
TLY_API void tly_set_notice_callback(tly_engine *engine, tly_notice_callback callback, void *user);

#ifdef __cplusplus
}
#endif

#endif /* TALLYON_H */
