#!/usr/bin/env python3
"""Splits the instruction count of one callgrind profile by object file, and finds a program's
own share: the instructions of its executable plus those of the C/C++ runtime functions that its
code calls directly (printf, strcmp, the file reads), but not the dynamic loader, dlopen/dlsym/
dlclose, exit (which runs the libraries' destructors) or anything inside the loaded libraries.

Usage: callgrind_split.py PROFILE EXECUTABLE [--own-only | --detail]
"""
import os
import re
import sys
from collections import defaultdict

RUNTIME = re.compile(r"/(libc|libm|libstdc\+\+|libgcc_s)[.-][^/]*$")
LOADER = re.compile(r"/ld-linux[^/]*$|/ld-[0-9.]*so[^/]*$")
# Runtime entry points whose cost is the loader's or the libraries' rather than the caller's.
EXCLUDED_CALLEES = re.compile(
    r"^(dlopen|dlsym|dlclose|dlerror|dlvsym|exit|_exit|__libc_start_main|__libc_start_call_main|"
    r"__cxa_finalize|_dl_.*)(@.*)?$"
)


class Profile:
    def __init__(self):
        self.self_cost = defaultdict(int)  # (object, function) -> instructions
        self.calls = defaultdict(int)  # (caller object, caller function, callee object, callee function) -> inclusive
        self.total = 0


def parse(path):
    profile = Profile()
    names = {"ob": {}, "fl": {}, "fn": {}}
    kinds = {"ob": "ob", "cob": "ob", "fl": "fl", "fi": "fl", "fe": "fl", "cfi": "fl", "cfl": "fl",
             "fn": "fn", "cfn": "fn"}
    ob = fn = None
    cob = cfn = None
    pending_call = False
    with open(path, encoding="utf-8", errors="replace") as stream:
        for line in stream:
            line = line.rstrip("\n")
            if not line:
                continue
            head = line[0]
            if head.isdigit() or head in "+-*":
                fields = line.split()
                cost = int(fields[1]) if len(fields) > 1 else 0
                if pending_call:
                    profile.calls[(ob, fn, cob if cob is not None else ob, cfn)] += cost
                    pending_call = False
                    cob = cfn = None
                else:
                    profile.self_cost[(ob, fn)] += cost
                    profile.total += cost
                continue
            key, _, value = line.partition("=")
            if key in kinds:
                match = re.match(r"\((\d+)\)(?: (.*))?$", value)
                if match:
                    table = names[kinds[key]]
                    if match.group(2) is not None:
                        table[match.group(1)] = match.group(2)
                    value = table.get(match.group(1), value)
                if key == "ob":
                    ob = value
                elif key == "fn":
                    fn = value
                    cob = cfn = None
                elif key == "cob":
                    cob = value
                elif key == "cfn":
                    cfn = value
            elif key == "calls":
                pending_call = True
    return profile


def group_of(obj, executable):
    if obj == executable:
        return "program"
    if obj is None:
        return "other"
    if LOADER.search(obj):
        return "dynamic loader"
    if RUNTIME.search(obj):
        return "C/C++ runtime"
    if re.search(r"/(libkorwatch|libzevcontrol)\.so", obj):
        return "simulator libraries"
    return "other libraries (" + os.path.basename(obj) + ")"


def own_parts(profile, executable):
    """The pieces of the program's own count: its functions' self cost, and the runtime calls
    that its code makes directly, each with its inclusive cost."""
    parts = defaultdict(int)
    for (obj, fn), cost in profile.self_cost.items():
        if obj == executable:
            parts["self " + (fn or "?")] += cost
    for (caller_ob, _, callee_ob, callee_fn), cost in profile.calls.items():
        if caller_ob != executable or callee_ob == executable:
            continue
        if callee_ob is None or not RUNTIME.search(callee_ob):
            continue
        if EXCLUDED_CALLEES.match(callee_fn or ""):
            continue
        parts["call " + (callee_fn or "?")] += cost
    return parts


def own_cost(profile, executable):
    return sum(own_parts(profile, executable).values())


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    profile = parse(sys.argv[1])
    executable = os.path.realpath(sys.argv[2])
    # callgrind names the executable by the path it was started with.
    objects = {obj for obj, _ in profile.self_cost}
    for obj in objects:
        if obj and os.path.exists(obj) and os.path.realpath(obj) == executable:
            executable = obj
    own = own_cost(profile, executable)
    if "--own-only" in sys.argv:
        print(own)
        return 0
    groups = defaultdict(int)
    for (obj, _), cost in profile.self_cost.items():
        groups[group_of(obj, executable)] += cost
    print(f"total {profile.total} own {own}")
    for name, cost in sorted(groups.items(), key=lambda item: -item[1]):
        print(f"  {name}: {cost}")
    if "--detail" in sys.argv:
        print("  the program's own count, largest parts:")
        parts = own_parts(profile, executable)
        for name, cost in sorted(parts.items(), key=lambda item: -item[1])[:15]:
            print(f"    {cost:>9}  {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
