#!/usr/bin/env python3
"""The native build and the Windows build compute the same results.

    builds_agree.py NATIVE_CALC WINDOWS_CALC [RUNNER] [--lines N] [--keep DIR]

Generates a corpus of function and power lines (every # function over
ordinary, tiny, huge and near-multiple-of-pi arguments, whole and real
powers with large exponents and bases near 1, complex arguments), has both
tallyon-calc builds evaluate it, once as JSON and once as the text a user
reads, and checks that every value lies within one unit in the last place
of the other, that every shown text and every error is identical, and says
how many lines were bit for bit the same. RUNNER (the Wine runner) starts
the Windows program. Exit status 0 when the builds agree, 1 when not.
"""
import json
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

FUNCTIONS_REAL = ["#SIN", "#COS", "#SIND", "#COSD", "#EXP", "#LN", "#LOG", "#SQRT", "#ABS", "#INT", "#NINT",
                  "#REAL", "#IMAG", "#CONJG"]
FUNCTIONS_TWO = ["#ATAN2", "#ATAN2D", "#MOD", "#MAX", "#MIN", "#CMPLX"]
FUNCTIONS_COMPLEX = ["#EXP", "#LN", "#SQRT", "#ABS", "#CONJG", "#REAL", "#IMAG"]


def num(x):
    """A double written so that it reads back exactly (no exponent sign
    trouble: the engine takes 1E-05 as well as 1e-05)."""
    return repr(float(x)).replace("e", "E").replace("inf", "1E400")


def ordinary(rnd):
    return rnd.uniform(-100, 100)


def tiny(rnd):
    return rnd.choice([-1, 1]) * 10 ** rnd.uniform(-320, -5)


def huge(rnd):
    return rnd.choice([-1, 1]) * 10 ** rnd.uniform(5, 22)


def near_pi(rnd):
    # Close to a multiple of pi (or of a quarter turn in degrees for #SIND
    # and #COSD), where a sloppy reduction shows.
    k = rnd.randint(-10 ** rnd.randint(1, 7), 10 ** rnd.randint(1, 7))
    x = k * math.pi / rnd.choice([1, 2, 4])
    return x + rnd.choice([0.0, 1.0, -1.0]) * 10 ** rnd.uniform(-16, -6) * max(1.0, abs(x))


def near_quarter_turn(rnd):
    return rnd.randint(-4000, 4000) * 90 + rnd.choice([0.0, 1.0, -1.0]) * 10 ** rnd.uniform(-12, -3)


def argument(rnd, fn):
    kind = rnd.randrange(4)
    if kind == 0:
        return ordinary(rnd)
    if kind == 1:
        return tiny(rnd)
    if kind == 2:
        x = huge(rnd)
        if fn == "#EXP":
            x = rnd.uniform(-745, 710)
        return x
    return near_quarter_turn(rnd) if fn in ("#SIND", "#COSD") else near_pi(rnd)


def pair_parts(rnd):
    def part():
        kind = rnd.randrange(5)
        if kind == 0:
            return ordinary(rnd)
        if kind == 1:
            return tiny(rnd)
        if kind == 2:
            return rnd.choice([-1, 1]) * 10 ** rnd.uniform(5, 300)
        if kind == 3:
            return rnd.uniform(-3, 3)
        return near_pi(rnd)
    return part(), part()


def pair(rnd):
    return "(%s,%s)" % tuple(num(p) for p in pair_parts(rnd))


def unit_pair(rnd):
    # Near the unit circle, where log|z| is small.
    a = rnd.uniform(-math.pi, math.pi)
    r = 1 + rnd.choice([-1, 1]) * 10 ** rnd.uniform(-15, -1)
    return "(%s,%s)" % (num(r * math.cos(a)), num(r * math.sin(a)))


def power(rnd, real_base_only=False):
    """A power line and the difference allowed between the builds, in units
    in the last place: 1 where the result comes from one correctly working
    pow; for a complex or negative base with a non-whole exponent the
    principal value exp(e log b) carries the last-place difference of the
    two libraries' log and atan2 on into e log b, and from there into the
    result, magnified by |e log b| (measured against the larger part)."""
    kind = rnd.randrange(5 if real_base_only else 7)
    if kind == 0:  # base near 1, large whole exponent
        base = 1 + rnd.choice([-1, 1]) * 10 ** rnd.uniform(-12, -2)
        return "%s^%d" % (num(base), rnd.randint(-2 * 10 ** 9, 2 * 10 ** 9)), 1
    if kind == 1:  # base near 1, large real exponent
        base = 1 + rnd.choice([-1, 1]) * 10 ** rnd.uniform(-12, -2)
        return "%s^%s" % (num(base), num(rnd.uniform(-1, 1) * 10 ** rnd.uniform(2, 12))), 1
    if kind == 2:  # ordinary base, whole exponent
        return "%s^%d" % (num(rnd.uniform(0, 20)), rnd.randint(-300, 300)), 1
    if kind == 3:  # ordinary base, real exponent, results of any size
        return "%s^%s" % (num(10 ** rnd.uniform(-300, 300)), num(rnd.uniform(-2, 2))), 1
    if kind == 4:  # exponent near a whole number
        n = rnd.randint(-20, 20)
        return "%s^%s" % (num(rnd.uniform(0.5, 10)), num(n + rnd.choice([-1, 1]) * 10 ** rnd.uniform(-15, -6))), 1
    if kind == 5:  # negative base, real or whole exponent
        whole = rnd.random() < 0.3
        e = rnd.randint(-50, 50) if whole else rnd.uniform(-50, 50)
        b = -rnd.uniform(0.1, 20)
        # |b|^e turned by e half turns: a pow times a sine or cosine.
        return "(%s)^%s" % (num(b), num(e)), 1 if whole else -3
    # complex base, whole or real exponent
    whole = rnd.random() < 0.5
    e = rnd.randint(-40, 40) if whole else rnd.uniform(-10, 10)
    re, im = pair_parts(rnd)
    w = power_spread(re, im, e)
    # A whole power is a product of products, exactly the same arithmetic
    # in both builds.
    return "(%s,%s)^%s" % (num(re), num(im), num(e)), 1 if whole else -w


def power_spread(re, im, e):
    """How far apart the builds' (re, im)^e may lie, in units in the last
    place of the larger part: each build's log|b| and arg b may be one unit
    off in their last place, e times that shifts w = e log b, and a shift d
    of w moves e^w by the fraction d; one more unit for each rounding of w
    and of the result, and both builds may err, in opposite directions."""
    log_magnitude = math.log(math.hypot(re, im))
    angle = math.atan2(im, re)
    shift = abs(e) * (math.ulp(log_magnitude) + math.ulp(angle))
    shift += math.ulp(e * log_magnitude) + math.ulp(e * angle)
    return 2 * (shift * 2 ** 53 + 2)


def nested_spread(fn, inner):
    """The same for a function of a power or exponential of a real number:
    the inner value may differ by one unit in its last place, and the
    function magnifies a relative change of its argument by its condition
    number |x f'(x) / f(x)|."""
    try:
        x = eval(inner.replace("#EXP", "math.exp").replace("^", "**"), {"math": math})
        cond = {"#SIN": lambda: abs(x / math.tan(x)), "#COS": lambda: abs(x * math.tan(x)),
                "#EXP": lambda: abs(x), "#LN": lambda: 1 / abs(math.log(x)), "#SQRT": lambda: 0.5,
                "#LOG": lambda: 1 / abs(math.log(x))}[fn]()
    except (ArithmeticError, ValueError, TypeError, OverflowError):
        return 1
    return max(1, math.ceil(2 * (cond + 1)))


def corpus(lines, seed=20261210):
    """(line, allowed) pairs: allowed > 0 is the difference allowed in every
    part, in units in its last place; allowed < 0 is -(the difference
    allowed) in units in the last place of the larger part of a complex
    value."""
    rnd = random.Random(seed)
    out = []
    while len(out) < lines or len(out[-1][0]) > 64:
        if out and len(out[-1][0]) > 64:
            out.pop()  # too long for the engine: one more of some kind instead
        kind = rnd.randrange(10)
        if kind <= 3:
            fn = rnd.choice(FUNCTIONS_REAL)
            out.append(("%s(%s)" % (fn, num(argument(rnd, fn))), 1))
        elif kind == 4:
            fn = rnd.choice(FUNCTIONS_TWO)
            # Degrees are the radians divided by a rounded pi/180: two
            # roundings, so the last-place difference of atan2 may become 2.
            out.append(("%s(%s,%s)" % (fn, num(argument(rnd, fn)), num(argument(rnd, fn))),
                        2 if fn == "#ATAN2D" else 1))
        elif kind <= 6:
            out.append(power(rnd))
        elif kind == 7:
            # A complex function is a product or quotient of two real
            # functions' values (e^x cos y, sqrt of a sum with hypot): the two
            # builds may differ by 2 in the last place of the larger part.
            fn = rnd.choice(FUNCTIONS_COMPLEX)
            out.append(("%s(%s)" % (fn, pair(rnd) if rnd.random() < 0.8 else unit_pair(rnd)), -2))
        elif kind == 8:
            # polar values and complex arithmetic: exact operations, and the
            # sine and cosine of a reduced angle
            op = rnd.choice(["<", "*", "/", "+"])
            if op == "<":
                out.append(("%s<%s" % (num(rnd.uniform(-100, 100)), num(near_quarter_turn(rnd))), 1))
            else:
                out.append(("%s%s%s" % (pair(rnd), op, pair(rnd)), 1))
        else:
            # a function of a function or of a power of a real base
            fn = rnd.choice(["#SIN", "#COS", "#EXP", "#LN", "#SQRT", "#LOG"])
            inner = power(rnd, real_base_only=True)[0] if rnd.random() < 0.5 else "#EXP(%s)" % num(rnd.uniform(-5, 5))
            out.append(("%s(%s)" % (fn, inner), nested_spread(fn, inner)))
    return out[:lines]


def run(command, text_input):
    result = subprocess.run(command, input=text_input.encode(), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return result.stdout.decode().replace("\r", "").splitlines(), result.stderr.decode().replace("\r", "")


def ordered(x):
    bits = struct.unpack("<q", struct.pack("<d", x))[0]
    return bits if bits >= 0 else -(2 ** 63) - bits


def ulps(a, b):
    """Units in the last place between two JSON numbers (None, strings for
    infinities and NaN)."""
    if a == b:
        return 0
    if isinstance(a, str) or isinstance(b, str) or a is None or b is None:
        return math.inf
    return abs(ordered(float(a)) - ordered(float(b)))


def normwise_ulps(a, b):
    """The larger difference of the two parts in units in the last place of
    the larger part of the native value."""
    try:
        parts = [(float(a[k]), float(b[k])) for k in ("re", "im")]
    except (TypeError, ValueError):
        return math.inf
    scale = math.ulp(max(abs(p[0]) for p in parts))
    if not math.isfinite(scale) or scale == 0:
        return math.inf
    return max(abs(x - y) for x, y in parts) / scale


def main(argv):
    args = argv[1:]
    lines = 100000
    keep = None
    if "--lines" in args:
        i = args.index("--lines")
        lines = int(args[i + 1])
        del args[i:i + 2]
    if "--keep" in args:
        i = args.index("--keep")
        keep = args[i + 1]
        del args[i:i + 2]
    native, windows = args[0], args[1]
    runner = args[2:3]
    rows = corpus(lines)
    exprs = [row[0] for row in rows]
    text = "\n".join(exprs) + "\n"
    if keep:
        os.makedirs(keep, exist_ok=True)
        with open(os.path.join(keep, "corpus.txt"), "w") as f:
            f.write(text)

    problems = []
    native_json, _ = run([native, "--json"], text)
    windows_json, _ = run(runner + [windows, "--json"], text)
    if len(native_json) != len(exprs) or len(windows_json) != len(exprs):
        print("builds_agree: expected %d JSON lines, native gave %d, Windows %d"
              % (len(exprs), len(native_json), len(windows_json)))
        return 1
    identical = 0
    evaluated = 0
    largest = 0
    within_one = 0
    largest_normwise = 0
    for (expr, allowed), a_line, b_line in zip(rows, native_json, windows_json):
        if a_line == b_line:
            identical += 1
        a, b = json.loads(a_line), json.loads(b_line)
        if a["ok"]:
            evaluated += 1
        diff = max(ulps(a[k], b[k]) for k in ("re", "im", "real"))
        same_rest = all(a[k] == b[k] for k in ("ok", "is_real", "real_ok", "error", "notices"))
        if diff <= 1:
            within_one += 1
        else:
            largest = max(largest, diff)
        sound = same_rest and diff <= max(allowed, 1)
        if not sound and same_rest and allowed < 0:
            normwise = normwise_ulps(a, b)
            largest_normwise = max(largest_normwise, normwise)
            sound = normwise <= -allowed
        if not sound:
            problems.append("%s\n  native:  %s\n  Windows: %s" % (expr, a_line, b_line))

    # What the user reads: the result lines and the error reports, as text.
    native_text, native_err = run([native], text)
    windows_text, windows_err = run(runner + [windows], text)
    shown_same = sum(1 for a, b in zip(native_text, windows_text) if a == b)
    if native_text != windows_text:
        for a, b in zip(native_text, windows_text):
            if a != b:
                problems.append("shown text differs:\n  native:  %s\n  Windows: %s" % (a, b))
                break
        if len(native_text) != len(windows_text):
            problems.append("shown text: native %d lines, Windows %d" % (len(native_text), len(windows_text)))
    if native_err != windows_err:
        problems.append("error reports differ")

    print("builds agree: %d lines (%d evaluated), %d bit for bit identical, %d within 1 ulp in every part; "
          "beyond that, complex values of complex powers and functions within %.0f ulp of the larger part "
          "(largest difference in a part %s ulp); %d of %d shown lines identical"
          % (len(exprs), evaluated, identical, within_one, largest_normwise, largest, shown_same, len(native_text)))
    for p in problems[:20]:
        print(p)
    if keep:
        with open(os.path.join(keep, "problems.txt"), "w") as f:
            f.write("\n".join(problems) + "\n")
    if problems:
        print("builds_agree: %d lines differ beyond one unit in the last place or in what is shown" % len(problems))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
