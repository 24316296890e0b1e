#!/usr/bin/env python3
"""Generates the case tables of engine/src/core/unicode_case.cpp: the full
(unconditional) Unicode lower- and upper-case mappings as compact tables.

The mappings come from the Python runtime's Unicode database: str.lower() and
str.upper() of a single character apply the unconditional full case mapping
(one-to-one mappings plus the unconditional multi-character ones such as
U+00DF -> "SS" and U+0130 -> "i" + U+0307). Run from the repository root:

    python3 scripts/gen_unicode_case.py > engine/src/core/unicode_case_tables.inc

Layout of the output:
  - runs of one-to-one mappings: code points first, first + stride, ...,
    first + (count - 1) * stride all map to themselves plus delta;
  - a short sorted list of code points whose mapping has several characters.
"""

import io
import os
import unicodedata

TARGET = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "engine", "src", "core", "unicode_case.cpp")
BEGIN = "// BEGIN GENERATED CASE TABLES"
END = "// END GENERATED CASE TABLES"


def mappings(fn):
    single = []  # (cp, mapped cp) for one-to-one changes
    multi = []   # (cp, [mapped cps]) for one-to-many
    for cp in range(0x110000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        m = fn(chr(cp))
        if m == chr(cp):
            continue
        if len(m) == 1:
            single.append((cp, ord(m)))
        else:
            multi.append((cp, [ord(x) for x in m]))
    return single, multi


def runs(single):
    """Greedy grouping into runs of equal delta and constant stride 1 or 2."""
    out = []
    i = 0
    n = len(single)
    while i < n:
        cp, m = single[i]
        delta = m - cp
        best = (1, 1)  # (count, stride)
        for stride in (1, 2):
            j = i + 1
            while (j < n and single[j][0] == cp + (j - i) * stride and single[j][1] - single[j][0] == delta
                   and j - i < 0xFFFF):
                j += 1
            if j - i > best[0]:
                best = (j - i, stride)
        count, stride = best
        out.append((cp, count, stride, delta))
        i += count
    return out


def emit(name, single, multi, w):
    rs = runs(single)
    w(f"// {len(single)} one-to-one mappings in {len(rs)} runs.\n")
    w(f"constexpr CaseRun k{name}Runs[] = {{\n")
    for cp, count, stride, delta in rs:
        w(f"    {{0x{cp:05X}, {count}, {stride}, {delta}}},\n")
    w("};\n\n")
    w(f"constexpr CaseMulti k{name}Multi[] = {{\n")
    for cp, ms in multi:
        parts = ", ".join(f"0x{x:04X}" for x in ms + [0] * (3 - len(ms)))
        w(f"    {{0x{cp:05X}, {len(ms)}, {{{parts}}}}},\n")
    w("};\n\n")


def main():
    buf = io.StringIO()
    w = buf.write
    w(BEGIN + "\n")
    w("// Written by scripts/gen_unicode_case.py from the Unicode "
      f"{unicodedata.unidata_version} character database; do not edit by hand.\n\n")
    lower_single, lower_multi = mappings(str.lower)
    upper_single, upper_multi = mappings(str.upper)
    emit("Lower", lower_single, lower_multi, w)
    emit("Upper", upper_single, upper_multi, w)
    w(END)
    with open(TARGET, encoding="utf-8") as f:
        text = f.read()
    start = text.index(BEGIN)
    stop = text.index(END) + len(END)
    with open(TARGET, "w", encoding="utf-8") as f:
        f.write(text[:start] + buf.getvalue() + text[stop:])


if __name__ == "__main__":
    main()
