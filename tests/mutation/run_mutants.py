#!/usr/bin/env python3
"""Plants each mutant of a table in the source, one at a time, rebuilds and
runs the test suite, and says which mutants the suite kills.

    tests/mutation/run_mutants.py MUTANTS.tsv [BUILD_DIR]

Run it from the project's root, on a tree without local changes to src/:
each mutant is put back before the next. A table line is

    file<TAB>original<TAB>replacement<TAB>what the fault is

where `original` occurs exactly once in `file`. Inside a field, \\t is a
TAB, \\n a line feed and \\\\ one backslash, so a fault inside a C string
literal such as " \\t" is written " \\\\t"; any other backslash stands for
itself. Lines starting with # are comments. A mutant that does not build counts
as neither killed nor survived: it is reported and left out of the rate.
"""
import subprocess
import sys
from pathlib import Path


ESCAPES = {"t": "\t", "n": "\n", "\\": "\\"}


def unescape(text):
    out = []
    at = 0
    while at < len(text):
        if text[at] == "\\" and at + 1 < len(text) and text[at + 1] in ESCAPES:
            out.append(ESCAPES[text[at + 1]])
            at += 2
        else:
            out.append(text[at])
            at += 1
    return "".join(out)


def readMutants(table):
    mutants = []
    for number, line in enumerate(Path(table).read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 4:
            sys.exit(f"{table}:{number}: want 4 TAB-separated fields, got {len(fields)}")
        path, original, replacement, what = fields
        mutants.append((number, path, unescape(original), unescape(replacement), what))
    return mutants


def run(command, timeout):
    try:
        return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    table = sys.argv[1]
    build = sys.argv[2] if len(sys.argv) > 2 else "build"
    mutants = readMutants(table)
    for number, path, original, replacement, what in mutants:
        text = Path(path).read_text()
        if text.count(original) != 1:
            sys.exit(f"{table}:{number}: the original occurs {text.count(original)} times in {path}")
    if run(["cmake", "--build", build], 900) != 0 or \
            run(["ctest", "--test-dir", build, "-j2"], 900) != 0:
        sys.exit("the suite does not pass before any mutant is planted")
    killed = survived = unbuilt = 0
    for number, path, original, replacement, what in mutants:
        source = Path(path)
        text = source.read_text()
        source.write_text(text.replace(original, replacement, 1))
        try:
            if run(["cmake", "--build", build], 900) != 0:
                verdict = "unbuilt"
                unbuilt += 1
            elif run(["ctest", "--test-dir", build, "-j2", "--stop-on-failure"], 600) != 0:
                verdict = "killed"
                killed += 1
            else:
                verdict = "SURVIVED"
                survived += 1
        finally:
            source.write_text(text)
        print(f"{verdict:8} {number:3} {path}: {what}", flush=True)
    run(["cmake", "--build", build], 900)
    built = killed + survived
    rate = 100.0 * killed / built if built else 0.0
    print(f"killed {killed} of {built} built mutants ({rate:.1f}%), {unbuilt} did not build")


if __name__ == "__main__":
    main()
