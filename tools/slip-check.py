#!/usr/bin/env python3
"""The slip check: how many realistic slips the tests catch.

A list (tests/slips/*.txt) names slips, one block each:

    file: src/formats/output/FileReplace.cpp
    find: exact text of one line's fragment, found exactly once in that file
    replace: its replacement text (may be empty)
    why: one line on what a user would notice
    tests: a ctest -R regular expression naming the likeliest tests

Blocks are separated by blank lines; lines starting with '#' are comments.

The check never touches the working tree. It copies the sources (tracked and
untracked, not ignored) to a scratch tree under build/slips/<preset>, builds
that tree once with the preset (kept, so that later runs are incremental),
then for each slip in turn: writes the slip into the scratch copy, rebuilds
(only what depends on the file), runs the slip's named tests, and, while
nothing has failed yet, the whole suite; then puts the file back, whatever
happened. A slip is caught when a test fails (or hangs), survives when every
test passes, and is invalid when the scratch tree does not build with it.

Exit status: 0 every slip caught; 1 a slip survived or is invalid; 2 the list
does not follow the code (a find text not there exactly once, a missing file,
a test expression that names no test) or the scratch build failed.

Presets:
  host   the native build: rebuilds native_tests; the whole suite is the
         native_tests program (every native test, one process).
  win32  the 32-bit library and its tests under Wine; the whole suite is every
         test of that build (minutes); --no-suite runs the named tests only.
"""

import argparse
import fcntl
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYS = ("file", "find", "replace", "why", "tests")

# Tests that look at the sources rather than at behaviour: a slip written
# without clang-format's spacing must not count as caught by them.
EXCLUDED_TESTS = "^source_"


class ListError(Exception):
    pass


def parse_list(path):
    slips = []
    block = {}
    start = 0

    def finish():
        if not block:
            return
        missing = [k for k in KEYS if k not in block]
        if missing:
            raise ListError("%s:%d: slip without %s" % (path, start, ", ".join(missing)))
        slips.append(dict(block, line=start))

    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                finish()
                block = {}
                continue
            key, colon, value = line.partition(":")
            if not colon or key not in KEYS:
                raise ListError("%s:%d: expected one of %s" % (path, number, ", ".join(KEYS)))
            if key in block:
                raise ListError("%s:%d: '%s' twice in one slip" % (path, number, key))
            if not block:
                start = number
            # One space separates the key from its value; the rest is exact.
            block[key] = value[1:] if value.startswith(" ") else value
    finish()
    return slips


def source_files():
    listed = subprocess.run(
        ["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
        cwd=ROOT, check=True, stdout=subprocess.PIPE).stdout
    return [p for p in listed.decode().split("\0") if p and os.path.isfile(os.path.join(ROOT, p))]


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def sync_tree(tree):
    """Makes tree a copy of the working tree's sources. Files whose bytes are
    the same are left alone, so that their objects stay valid; the rest get a
    fresh time and are rebuilt."""
    wanted = set(source_files())
    for rel in sorted(wanted):
        src = os.path.join(ROOT, rel)
        dst = os.path.join(tree, rel)
        data = read_bytes(src)
        if os.path.isfile(dst) and read_bytes(dst) == data:
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        write_bytes(dst, data)
        shutil.copymode(src, dst)
    for top, dirs, files in os.walk(tree):
        rel_top = os.path.relpath(top, tree)
        if rel_top == ".":
            dirs[:] = [d for d in dirs if d != "build"]
        for name in files:
            rel = os.path.normpath(os.path.join(rel_top, name))
            if rel not in wanted:
                os.remove(os.path.join(top, name))


def run(cmd, cwd, log, timeout=None):
    """Runs cmd with its output in log; returns its exit status, or None when
    it ran past timeout (its whole process group is stopped then)."""
    with open(log, "ab") as out:
        out.write(("\n$ %s\n" % " ".join(cmd)).encode())
        out.flush()
        proc = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            out.write(b"\n(stopped after %d s)\n" % timeout)
            return None
        except BaseException:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            raise


def failed_tests(log, since):
    with open(log, "rb") as f:
        f.seek(since)
        text = f.read().decode(errors="replace")
    names = re.findall(r"^\s*\d+ - (\S+) \(", text, re.M)
    names += re.findall(r"^\[  FAILED  \] (\S+\.\S+?)(?:,| \(|$)", text, re.M)
    seen = []
    for n in names:
        if n not in seen:
            seen.append(n)
    return seen


class Preset:
    def __init__(self, name, tree, jobs):
        self.name = name
        self.tree = tree
        self.build = os.path.join(tree, "build", name)
        self.jobs = str(jobs)

    def configure_args(self):
        args = ["cmake", "--preset", self.name]
        if self.name != "host":
            # The test files come from the working tree's host build.
            args.append("-DVANTREL_FIXTURE_DIR=%s" % os.path.join(ROOT, "build", "host", "fixtures"))
        return args

    def build_args(self, targets=None):
        """What a build runs: host, the native tests; win32, the given
        targets, or everything when None."""
        args = ["cmake", "--build", self.build, "-j", self.jobs]
        if self.name == "host":
            return args + ["--target", "native_tests"]
        return args + (["--target"] + targets if targets else [])

    def named_targets(self, expression):
        """The programs the tests named by expression run, with the library and
        the shell helper they load; empty for the host preset."""
        if self.name == "host":
            return []
        if not hasattr(self, "_targets"):
            listed = subprocess.run(["cmake", "--build", self.build, "--target", "help"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
            self._targets = set(re.findall(r"^\.\.\. (\S+)", listed.decode(), re.M))
        targets = {"vantrel", "ShowProperties"}
        for name in self.test_names(expression):
            program = re.sub(r"(_Western)?(_x64)?$", "", name)
            if program in self._targets:
                targets.add(program)
        return sorted(targets)

    def prepare(self, log):
        if self.name == "host":
            # The native tests read the host build's test files; they do not
            # depend on src, so the working tree's are copied rather than made.
            made = os.path.join(ROOT, "build", "host", "fixtures")
            if not os.path.isdir(made):
                raise ListError("no %s: build the host preset first" % made)
            ours = os.path.join(self.build, "fixtures")
            if os.path.isdir(ours):
                shutil.rmtree(ours)
            shutil.copytree(made, ours, symlinks=True)
        elif not os.path.isdir(os.path.join(ROOT, "build", "host", "fixtures")):
            raise ListError("the %s tests need the host build's test files: build the host preset first"
                            % self.name)

    def named_args(self, expression, timeout):
        return ["ctest", "--test-dir", self.build, "-R", expression, "-E", EXCLUDED_TESTS,
                "--no-tests=error", "--output-on-failure", "--timeout", str(timeout)] + (
                    ["-j", self.jobs] if self.name == "host" else [])

    def suite_args(self, timeout):
        if self.name == "host":
            return [os.path.join(self.build, "tests", "native", "native_tests"), "--gtest_brief=1"]
        return ["ctest", "--test-dir", self.build, "-E", EXCLUDED_TESTS, "--output-on-failure",
                "--timeout", str(timeout)]

    def test_names(self, expression):
        listed = subprocess.run(
            ["ctest", "--test-dir", self.build, "-N", "-R", expression, "-E", EXCLUDED_TESTS],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT).stdout.decode(errors="replace")
        return re.findall(r"^\s*Test\s+#\d+: (\S+)", listed, re.M)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter,
                                     epilog=__doc__.split("\n\n", 1)[1])
    parser.add_argument("list", help="the slip list, e.g. tests/slips/formats.txt")
    parser.add_argument("--preset", default="host", choices=("host", "win32"))
    parser.add_argument("--no-suite", action="store_true",
                        help="run the named tests only, never the whole suite")
    parser.add_argument("--only", metavar="REGEX",
                        help="check only the slips whose file, find or why text matches")
    parser.add_argument("--report-only", action="store_true",
                        help="exit 0 although slips survive (for measuring a rate)")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=300,
                        help="seconds a test may run; a test stopped so counts as failing")
    args = parser.parse_args()

    started = time.time()
    list_path = os.path.abspath(args.list)
    try:
        slips = parse_list(list_path)
    except (OSError, ListError) as e:
        print("slip-check: %s" % e)
        return 2
    if args.only:
        pattern = re.compile(args.only)
        slips = [s for s in slips if pattern.search(s["file"] + "\n" + s["find"] + "\n" + s["why"])]
    # The list must follow the code: every find text exactly once, in the
    # working tree as it stands.
    errors = []
    for s in slips:
        where = "%s:%d" % (os.path.relpath(list_path, ROOT), s["line"])
        path = os.path.join(ROOT, s["file"])
        if not os.path.isfile(path):
            errors.append("%s: no file %s" % (where, s["file"]))
            continue
        count = read_bytes(path).decode("utf-8").count(s["find"]) if s["find"] else 0
        if count != 1:
            errors.append("%s: '%s' found %d times in %s" % (where, s["find"], count, s["file"]))
        elif s["find"] == s["replace"]:
            errors.append("%s: the replacement is the text itself" % where)
    if errors:
        print("\n".join("slip-check: " + e for e in errors))
        return 2

    scratch = os.path.join(ROOT, "build", "slips", args.preset)
    tree = os.path.join(scratch, "tree")
    os.makedirs(tree, exist_ok=True)
    log = os.path.join(scratch, "log.txt")
    lock = open(os.path.join(scratch, "lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        print("slip-check: another check is using %s" % scratch)
        return 2
    with open(log, "wb"):
        pass

    # A stop by signal still runs the finally clause below, which puts the
    # slipped file back.
    def stop(signum, frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGHUP, stop)

    preset = Preset(args.preset, tree, args.jobs)
    print("slip-check: %d slips of %s, scratch tree %s (log: %s)"
          % (len(slips), os.path.relpath(list_path, ROOT), os.path.relpath(tree, ROOT),
             os.path.relpath(log, ROOT)), flush=True)
    sync_tree(tree)
    try:
        preset.prepare(log)
    except ListError as e:
        print("slip-check: %s" % e)
        return 2
    if run(preset.configure_args(), tree, log) != 0:
        print("slip-check: the scratch tree does not configure; see %s" % log)
        return 2
    # The native tests are listed only once their program is built (the test
    # names come from the program itself).
    if args.preset == "host" and run(preset.build_args(), tree, log) != 0:
        print("slip-check: the scratch tree does not build without slips; see %s" % log)
        return 2
    unnamed = [s for s in slips if not preset.test_names(s["tests"])]
    if unnamed:
        for s in unnamed:
            print("slip-check: %s:%d: 'tests: %s' names no test of the %s build"
                  % (os.path.relpath(list_path, ROOT), s["line"], s["tests"], args.preset))
        return 2
    # The Windows side builds what the named tests run, and everything only
    # when the whole suite is to run.
    named = sorted({t for s in slips for t in preset.named_targets(s["tests"])})
    if run(preset.build_args(named or None), tree, log) != 0:
        print("slip-check: the scratch tree does not build without slips; see %s" % log)
        return 2
    print("slip-check: scratch build ready after %d s" % (time.time() - started), flush=True)

    results = []
    for n, s in enumerate(slips, 1):
        path = os.path.join(tree, s["file"])
        original = read_bytes(path)
        text = original.decode("utf-8")
        slipped = text.replace(s["find"], s["replace"], 1).encode("utf-8")
        slip_started = time.time()
        since = os.path.getsize(log)
        try:
            with open(log, "ab") as out:
                out.write(("\n==== slip %d: %s: %s -> %s\n"
                           % (n, s["file"], s["find"], s["replace"])).encode())
            write_bytes(path, slipped)
            if run(preset.build_args(preset.named_targets(s["tests"])), tree, log) != 0:
                verdict, by = "invalid", "the build fails"
            else:
                status = run(preset.named_args(s["tests"], args.timeout), tree, log)
                if status != 0:
                    verdict, by = "caught", "named tests"
                elif args.no_suite:
                    verdict, by = "survived", "named tests pass"
                elif args.preset != "host" and run(preset.build_args(), tree, log) != 0:
                    verdict, by = "invalid", "the build fails"
                else:
                    status = run(preset.suite_args(args.timeout), tree, log,
                                 timeout=args.timeout if args.preset == "host" else None)
                    verdict, by = ("caught", "whole suite") if status != 0 else (
                        "survived", "every test passes")
                if verdict == "caught":
                    failed = failed_tests(log, since)
                    if failed:
                        by += ": " + ", ".join(failed[:3]) + (" ..." if len(failed) > 3 else "")
        finally:
            # Back as it was, with a new time, so that the next build compiles
            # it again.
            write_bytes(path, original)
        results.append((s, verdict))
        print("[%d/%d] %-8s %s: %s  (%s; %d s)"
              % (n, len(slips), verdict, s["file"], s["why"], by, time.time() - slip_started),
              flush=True)

    caught = sum(1 for _, v in results if v == "caught")
    survived = [s for s, v in results if v == "survived"]
    invalid = [s for s, v in results if v == "invalid"]
    valid = caught + len(survived)
    rate = 100.0 * caught / valid if valid else 0.0
    print("\nslip-check: %d of %d caught (%.0f%%), %d survived, %d invalid, %d s"
          % (caught, valid, rate, len(survived), len(invalid), time.time() - started))
    for label, group in (("survived", survived), ("invalid", invalid)):
        for s in group:
            print("  %s: %s:%d %s: %s -> %s" % (label, os.path.relpath(list_path, ROOT), s["line"],
                                                s["file"], s["find"], s["replace"]))
    if (survived or invalid) and not args.report_only:
        return 1
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("slip-check: stopped; the scratch tree is back as it was")
        sys.exit(130)
