#!/usr/bin/env python3
"""Mutation sampler: how many small faults in the plug-in's code do the tests catch?

Draws a seeded sample of one-token faults in plugin/ (flipped or shifted comparisons, swapped
arithmetic and logical operators, negated conditions, changed constants, flipped booleans),
applies each alone to a copy of the source under build-mutants/, rebuilds incrementally and runs
the fast tests and the replays of the plug-in's fuzz targets: no Wine and no GPU tests, so no
mutant goes into the GPU renderer. A mutant the tests fail on or time out on is caught; one that
does not build is not counted. The working tree is never written to.

  scripts/mutants.py [--seed N] [--count N] [--rev REV] [--replay FILE]

--rev measures another commit's tests against the same sample (the tree at REV, plugin and tests
alike); --replay runs the mutants a previous run saved, found again by their line's text.
"""
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import asdict, dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build-mutants"
SRC = WORK / "src"
BUILD = WORK / "build"

# The test executables run for every mutant, cheapest first, with their arguments (relative paths
# from the measured tree); the first failure ends the run. The fuzz targets replay their corpus
# and past failures, as `make test` does.
GTEST = ["--gtest_fail_fast", "--gtest_brief=1"]
FUZZ_REPLAYS = ["curve_record", "path", "triangles"]
TEST_RUNS = [("core_tests", GTEST), ("glue_tests", GTEST)] + [
    (f"fuzz/fuzz_{name}", [f"tests/fuzz/corpus/{name}", f"tests/fuzz/regressions/{name}"]) for name in FUZZ_REPLAYS
] + [("e2e_tests", GTEST), ("host_tests", GTEST)]
BUILD_TARGETS = ["strandel", "strandel_cli"] + [name.split("/")[-1] for name, _ in TEST_RUNS]
# The GPU renderer is reached only by the GPU tests, which need the kernel image: no mutant goes there.
GPU_ONLY = {"render/CudaDriverApi.h", "render/DriverRuntime.cpp", "render/DriverRuntime.h", "render/GpuPass.cpp",
            "render/GpuPass.h", "render/GpuPixels.cpp", "render/GpuPixels.h", "render/GpuRenderer.cpp",
            "render/GpuRenderer.h", "render/GpuRuntime.h", "render/GpuUnavailable.cpp", "render/StxRendererCUDA.h",
            "render/TriangleKernel.h"}
CONFIGURE_ARGS = [
    "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
    # Neither the Windows cross build nor the GPU kernel image: the Wine and GPU-image tests are
    # too slow to run for every mutant, and a mutant in the kernel needs a GPU to be seen.
    "-DSTRANDEL_CUDA=OFF", "-DMINGW_CXX=OFF",
    # Test lists are read when the tests run, not after every link.
    "-DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST",
    "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON",
]

# Binary operators are written with a space on each side, which tells them from template angle
# brackets, pointers, references and unary signs.
SWAPS = [
    ("compare", " < ", [" >= ", " <= "]),
    ("compare", " <= ", [" > ", " < "]),
    ("compare", " > ", [" <= ", " >= "]),
    ("compare", " >= ", [" < ", " > "]),
    ("compare", " == ", [" != "]),
    ("compare", " != ", [" == "]),
    ("logic", " && ", [" || "]),
    ("logic", " || ", [" && "]),
    ("arith", " + ", [" - "]),
    ("arith", " - ", [" + "]),
    ("arith", " * ", [" / "]),
    ("arith", " / ", [" * "]),
    ("arith", " += ", [" -= "]),
    ("arith", " -= ", [" += "]),
    ("arith", " *= ", [" /= "]),
    ("arith", " /= ", [" *= "]),
]
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+\.\d*(?:[eE][-+]?\d+)?|\d+(?:[eE][-+]?\d+)?)([uUlLfF]*)(?![\w.])")
BOOLEAN = re.compile(r"\b(true|false)\b")
CONDITION = re.compile(r"\b(if|while) \(")


@dataclass
class Mutant:
    file: str  # relative to the repository root
    line: int  # 1-based
    kind: str
    original: str  # the whole line before
    mutated: str  # the whole line after

    def label(self):
        return f"{self.file}:{self.line} [{self.kind}] {self.original.strip()}  =>  {self.mutated.strip()}"


def as_mutant(entry):
    return Mutant(**{key: entry[key] for key in Mutant.__dataclass_fields__})


def mask_code(lines):
    """Each line with comments and string and character literals blanked, positions kept."""
    masked = []
    in_block = False
    for text in lines:
        out = list(text)
        i = 0
        quote = None
        while i < len(text):
            c = text[i]
            if in_block:
                if text.startswith("*/", i):
                    out[i] = out[i + 1] = " "
                    in_block = False
                    i += 2
                    continue
                out[i] = " "
            elif quote:
                out[i] = " "
                if c == "\\":
                    if i + 1 < len(text):
                        out[i + 1] = " "
                    i += 2
                    continue
                if c == quote:
                    quote = None
            elif text.startswith("//", i):
                for j in range(i, len(text)):
                    out[j] = " "
                break
            elif text.startswith("/*", i):
                out[i] = out[i + 1] = " "
                in_block = True
                i += 2
                continue
            elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
                quote = c
                out[i] = " "
            i += 1
        masked.append("".join(out))
    return masked


def changed_number(token, suffix):
    if token.lower().startswith("0x"):
        return hex(int(token, 16) + 1) + suffix
    if re.fullmatch(r"\d+", token):
        return str(int(token) + 1) + suffix
    value = float(token)
    return repr(value * 2 if value else 1.0) + suffix


def matching_paren(text, open_at):
    depth = 0
    for i in range(open_at, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return None


def line_mutants(text, code):
    """(kind, mutated line) for every fault this line can take; code is the line masked."""
    stripped = code.strip()
    if not stripped or stripped.startswith("#") or "static_assert" in code or "operator" in code:
        return []
    found = []
    for kind, token, replacements in SWAPS:
        start = 0
        while (at := code.find(token, start)) >= 0:
            start = at + 1
            for replacement in replacements:
                found.append((kind, text[:at] + replacement + text[at + len(token):]))
    for match in NUMBER.finditer(code):
        token, suffix = match.group(1), match.group(2)
        found.append(("constant", text[:match.start()] + changed_number(token, suffix) + text[match.end():]))
    for match in BOOLEAN.finditer(code):
        flipped = "false" if match.group(1) == "true" else "true"
        found.append(("constant", text[:match.start()] + flipped + text[match.end():]))
    for match in CONDITION.finditer(code):
        open_at = match.end() - 1
        close_at = matching_paren(code, open_at)
        if close_at is not None:
            found.append(("negate", text[:open_at + 1] + "!(" + text[open_at + 1:close_at] + ")" + text[close_at:]))
    return found


def run(command, timeout=None, **kwargs):
    """Runs a command in its own process group, so that a timeout or Ctrl-C ends all of it."""
    process = subprocess.Popen(command, start_new_session=True, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, **kwargs)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        return None, ""
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise


def tree_files(rev):
    """The source tree to measure, as {relative path: bytes}."""
    if rev:
        with tempfile.TemporaryDirectory() as temp:
            archive = subprocess.run(["git", "-C", str(ROOT), "archive", rev], check=True, capture_output=True).stdout
            subprocess.run(["tar", "-x", "-C", temp], input=archive, check=True)
            return {str(p.relative_to(temp)): p.read_bytes() for p in Path(temp).rglob("*") if p.is_file()}
    listed = subprocess.run(["git", "-C", str(ROOT), "ls-files", "-co", "--exclude-standard", "-z"],
                            check=True, capture_output=True, text=True).stdout.split("\0")
    return {name: (ROOT / name).read_bytes() for name in listed if name and (ROOT / name).is_file()}


def sync_copy(files):
    """Makes SRC hold exactly files, touching only what differs so the rebuild stays incremental."""
    SRC.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        target = SRC / name
        if not target.is_file() or target.read_bytes() != data:
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
    for path in sorted(SRC.rglob("*"), reverse=True):
        relative = str(path.relative_to(SRC))
        if path.is_file() and relative not in files:
            path.unlink()
        elif path.is_dir() and not any(path.iterdir()):
            path.rmdir()


def build(timeout):
    if not (BUILD / "build.ninja").exists():
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
        code, output = run(["cmake", "-S", str(SRC), "-B", str(BUILD)] + CONFIGURE_ARGS + launcher, timeout=timeout)
        if code != 0:
            return False, output
    code, output = run(["cmake", "--build", str(BUILD), "--target"] + BUILD_TARGETS, timeout=timeout)
    return code == 0, output


def run_tests(timeout):
    """'pass', 'fail' or 'timeout', the seconds taken, and the test executable that failed."""
    start = time.monotonic()
    for name, arguments in TEST_RUNS:
        left = timeout - (time.monotonic() - start)
        if left <= 0:
            return "timeout", time.monotonic() - start, name
        arguments = [str(SRC / a) if a.startswith("tests/") else a for a in arguments]
        code, _ = run([str(BUILD / "tests" / name)] + arguments, timeout=left, cwd=BUILD / "tests")
        if code is None:
            return "timeout", time.monotonic() - start, name
        if code != 0:
            return "fail", time.monotonic() - start, name
    return "pass", time.monotonic() - start, None


def built_plugin_files():
    """The plug-in sources and headers the measured build compiles."""
    commands = json.loads((BUILD / "compile_commands.json").read_text())
    plugin = SRC / "plugin"
    files = {(Path(entry["directory"]) / entry["file"]).resolve() for entry in commands}
    deps = subprocess.run(["ninja", "-C", str(BUILD), "-t", "deps"], check=True, capture_output=True, text=True).stdout
    files |= {(BUILD / line.strip()).resolve() for line in deps.splitlines() if line.startswith("    ")}
    return sorted(str(f.relative_to(SRC)) for f in files if f.is_relative_to(plugin) and f.suffix in (".cpp", ".h")
                  and f.is_file() and str(f.relative_to(plugin)) not in GPU_ONLY)


def all_mutants(files):
    mutants = []
    for name in files:
        lines = (SRC / name).read_text().split("\n")
        for number, (text, code) in enumerate(zip(lines, mask_code(lines)), start=1):
            mutants.extend(Mutant(name, number, kind, text, mutated) for kind, mutated in line_mutants(text, code))
    return mutants


def place(mutant):
    """The file's text with the mutant applied, finding its line again if lines moved; or None."""
    lines = (SRC / mutant.file).read_text().split("\n") if (SRC / mutant.file).is_file() else []
    if mutant.line <= len(lines) and lines[mutant.line - 1] == mutant.original:
        at = mutant.line - 1
    else:
        same = [i for i, text in enumerate(lines) if text == mutant.original]
        if len(same) != 1:
            return None
        at = same[0]
    return "\n".join(lines[:at] + [mutant.mutated] + lines[at + 1:])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=11)
    parser.add_argument("--count", type=int, default=50, help="mutants in the sample")
    parser.add_argument("--rev", help="measure this commit instead of the working tree")
    parser.add_argument("--replay", type=Path, help="run the mutants saved by an earlier run")
    parser.add_argument("--timeout", type=float, help="seconds for one mutant's tests (default: 3x the clean run)")
    args = parser.parse_args()

    run_started = time.monotonic()
    # SIGTERM unwinds like Ctrl-C, so the copy is put back either way.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))
    print(f"mutants: copying {'the working tree' if not args.rev else args.rev} to {SRC}", flush=True)
    sync_copy(tree_files(args.rev))
    ok, output = build(timeout=7200)
    if not ok:
        print(output[-4000:])
        sys.exit("mutants: the unchanged tree does not build")
    verdict, clean_seconds, _ = run_tests(timeout=3600)
    if verdict != "pass":
        sys.exit("mutants: the tests fail without any mutant")
    timeout = args.timeout or max(30.0, 3 * clean_seconds)
    print(f"mutants: clean tests take {clean_seconds:.0f} s; a mutant's tests time out after {timeout:.0f} s", flush=True)

    if args.replay:
        sample = [as_mutant(entry) for entry in json.loads(args.replay.read_text())["mutants"]]
    else:
        candidates = all_mutants(built_plugin_files())
        sample = random.Random(args.seed).sample(candidates, min(args.count, len(candidates)))
        print(f"mutants: seed {args.seed}, {len(sample)} of {len(candidates)} possible mutants", flush=True)

    results = []
    for index, mutant in enumerate(sample, start=1):
        path = SRC / mutant.file
        started = time.monotonic()
        text = place(mutant)
        caughtBy = None
        if text is None:
            verdict = "missing"
        else:
            original = path.read_bytes()
            try:
                path.write_text(text)
                ok, _ = build(timeout=1800)
                verdict, _, caughtBy = run_tests(timeout) if ok else ("no build", 0, None)
            finally:
                path.write_bytes(original)
        verdict = {"fail": "caught", "timeout": "caught (timeout)", "pass": "SURVIVED"}.get(verdict, verdict)
        by = f" by {caughtBy}" if verdict.startswith("caught") else ""
        print(f"[{index}/{len(sample)}] {verdict + by:28} {time.monotonic() - started:5.0f} s  {mutant.label()}", flush=True)
        results.append(dict(asdict(mutant), verdict=verdict, caughtBy=caughtBy if by else None))

    caught = sum(r["verdict"].startswith("caught") for r in results)
    survived = [r for r in results if r["verdict"] == "SURVIVED"]
    counted = caught + len(survived)
    report = WORK / f"mutants-{args.seed}{'-' + args.rev if args.rev else ''}.json"
    report.write_text(json.dumps({"seed": args.seed, "rev": args.rev, "mutants": results}, indent=1))
    print(f"\nmutants: seed {args.seed}: {caught} of {counted} caught "
          f"({100 * caught / counted if counted else 0:.0f} %); "
          f"{sum(r['verdict'] == 'no build' for r in results)} did not build; "
          f"{(time.monotonic() - run_started) / 60:.0f} min; results in {report}")
    for r in survived:
        print(f"  survived: {as_mutant(r).label()}")


if __name__ == "__main__":
    main()
