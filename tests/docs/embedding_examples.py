"""Every example of the developers' guide prints what the guide says.

    embedding_examples.py GUIDE --cc CC --include DIR --link DIR --library FILE
                          [--emulator RUNNER] [--python]

A fenced block opened with ```c file=NAME.c is a C program: it is compiled
as C99 with warnings as errors against tallyon.h and the library alone, and
run. A block ```python file=NAME.py is a Python script, run with the module
on PYTHONPATH (with --python; the module drives the native library). The
block ```output file=NAME after it is exactly what NAME prints. With an
EMULATOR (the Windows build's Wine runner) the programs are Windows programs,
run with the library beside them; their CR LF line ends count as LF.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^```(\w+) file=(\S+)\n(.*?)^```\n", re.S | re.M)


def blocks(guide):
    with open(guide, encoding="utf-8") as f:
        text = f.read()
    sources, outputs = {}, {}
    for kind, name, body in FENCE.findall(text):
        (outputs if kind == "output" else sources)[name] = (kind, body)
    return sources, outputs


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("guide")
    parser.add_argument("--cc", required=True)
    parser.add_argument("--include", required=True)
    parser.add_argument("--link", required=True, help="folder of the library to link")
    parser.add_argument("--library", required=True, help="the shared library the programs load")
    parser.add_argument("--emulator")
    parser.add_argument("--python", action="store_true")
    args = parser.parse_args()

    sources, outputs = blocks(args.guide)
    failures, checked = 0, 0
    if not sources:
        print("no examples found", file=sys.stderr)
        return 1
    work = tempfile.mkdtemp()
    try:
        shutil.copy(args.library, work)
        for name, (kind, body) in sources.items():
            if name not in outputs:
                print(f"{name}: no output block", file=sys.stderr)
                failures += 1
                continue
            path = os.path.join(work, name)
            with open(path, "w", encoding="utf-8") as f:
                f.write(body)
            if kind == "c":
                program = os.path.join(work, os.path.splitext(name)[0] + (".exe" if args.emulator else ""))
                command = [args.cc, "-std=c99", "-Wall", "-Wextra", "-pedantic", "-Werror", "-I", args.include, path,
                           "-L", args.link, "-ltallyon", "-o", program]
                if not args.emulator:
                    command += ["-lm", f"-Wl,-rpath,{os.path.dirname(os.path.abspath(args.library))}"]
                built = subprocess.run(command, capture_output=True, text=True)
                if built.returncode != 0:
                    print(f"{name} does not compile:\n{built.stderr}", file=sys.stderr)
                    failures += 1
                    continue
                run = ([args.emulator] if args.emulator else []) + [program]
                environment = None
            elif kind == "python":
                if not args.python:
                    continue
                run = [sys.executable, path]
                environment = dict(os.environ, PYTHONPATH=os.path.join(os.path.dirname(os.path.abspath(args.guide)), "..", "python"),
                                   TALLYON_LIBRARY=os.path.abspath(args.library))
            else:
                print(f"{name}: unknown kind {kind}", file=sys.stderr)
                failures += 1
                continue
            result = subprocess.run(run, capture_output=True, cwd=work, env=environment)
            printed = result.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
            expected = outputs[name][1]
            checked += 1
            if result.returncode != 0 or printed != expected:
                failures += 1
                print(f"{name}: status {result.returncode}\n--- the guide says\n{expected}--- it printed\n{printed}"
                      f"{result.stderr.decode('utf-8', 'replace')}", file=sys.stderr)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"developers' guide: {checked} examples checked, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
