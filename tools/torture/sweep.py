#!/usr/bin/python3
"""The torture sweep: keldo-check-report with one call failing at a time.

    sweep.py --build BUILD [--sample] [--jobs 2] [--timeout 30] [--modes plain,json,tty,debug]
             [--only NAME[:N]] [--keep]

BUILD is a test build of the linux preset (build/linux): its
keldo-check-report-at, the stand-in website and its test PKI, and the preload
library libkeldo_fail_nth.so (fail_nth.c). One clean run per output mode
counts the calls; then each call is failed in turn, each run in a fresh copy
of the sample installation. --sample fails every I/O and socket call once
(the modes taking turns) and a share of the allocation call stacks; without
it, every call stack of an allocation and every other call, in every mode.

A run passes when it ends by itself within --timeout, with status 0, 1 or 2
and no signal; leaves the prefix byte for byte as it was (temp_vers.dat, the
website's file, may stay: the check keeps it when reading it fails); prints
JSON valid against docs/report.schema.json, or nothing and a failure status
(a failed write of the output itself may cut it); writes no raw control
character; and, unless it ended as a failure (status 1, or 2: the database
was not found), shows each finding as the clean run did or as its failure
caption. Exit status 0 when every run passed, 1 otherwise.
"""
import argparse
import concurrent.futures
import hashlib
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ALLOCATIONS = ("malloc", "calloc", "realloc", "strdup")
MODES = {"plain": [], "json": ["--json"], "tty": [], "debug": ["--debug"]}
# What a finding shows when its probe failed.
FAILURE_CAPTIONS = {
    "Version in Latest Progs folder: error",
    "PC shows support expires: error",
    "Version on website: 0",
    "Version on this PC: 0",
    "Website shows support expires: --------",
}
CONTROL = re.compile(rb"[\x00-\x08\x0b\x0c\x0e-\x1f\x7f]|\xc2[\x80-\x9f]")
LIBRARY_CRASH = re.compile(r"terminate called|malloc\(\)|free\(\)|malloc_consolidate|double free|"
                           r"corrupted|AddressSanitizer|runtime error")


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawTextHelpFormatter)
    parser.add_argument("--build", required=True)
    parser.add_argument("--sample", action="store_true")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=float, default=30)
    parser.add_argument("--modes", default="plain,json,tty,debug")
    parser.add_argument("--only", help="NAME or NAME:N: sweep only these calls")
    parser.add_argument("--sample-sites", type=int, default=640,
                        help="allocation call stacks in the sample, spread over the run")
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    parser.add_argument("--valgrind", action="store_true", help="each run under valgrind's memcheck")
    return parser.parse_args()


class Rig:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        build = os.path.abspath(args.build)
        self.report = os.path.join(build, "tests", "keldo-check-report-at")
        self.preload = os.path.join(build, "tools", "torture", "libkeldo_fail_nth.so")
        standin = os.path.join(build, "tools", "standin-website", "keldo-standin-website")
        pki = os.path.join(build, "test-pki")
        with open(os.path.join(ROOT, "docs", "report.schema.json"), encoding="utf-8") as f:
            from jsonschema import Draft202012Validator
            self.validator = Draft202012Validator(json.load(f))
        self.server = subprocess.Popen(
            [standin, "--cert", pki + "/server.pem", "--key", pki + "/server.key", "--port", "0",
             "--lifetime", "86400"], stdout=subprocess.PIPE, text=True)
        line = self.server.stdout.readline()
        if not line.startswith("port="):
            sys.exit("the stand-in website did not start")
        self.website = "https://localhost:" + line.strip()[5:]
        self.template = os.path.join(work, "template")
        subprocess.run(["/bin/bash", "-c", 'source "$1"; lay_out_sample_installation "$2" remembered', "-",
                        os.path.join(ROOT, "scripts", "lib", "sample_installation.sh"), self.template],
                       check=True)
        with open(os.path.join(ROOT, "demo", "sample_installation.conf"), encoding="utf-8") as f:
            line = next(l for l in f if l.startswith("website_version_line="))
        self.download = (line.strip().split("=", 1)[1] + "\r\n").encode()
        self.template_state = tree_state(self.template)
        bin_dir = os.path.join(work, "bin")
        os.makedirs(bin_dir)
        with open(os.path.join(bin_dir, "gio"), "w") as f:
            f.write("#!/bin/sh\nexit 1\n")
        os.chmod(os.path.join(bin_dir, "gio"), 0o755)
        self.path = bin_dir + ":/usr/bin:/bin"

    def stop(self):
        self.server.terminate()
        self.server.wait()

    def run(self, mode, fail, tag):
        """One run; `fail` NAME:N or None. Returns (outcome dict, log lines)."""
        folder = os.path.join(self.work, "runs", tag)
        prefix = os.path.join(folder, "prefix")
        shutil.copytree(self.template, prefix, symlinks=True)
        os.makedirs(folder + "/home")
        log = folder + "/log"
        env = {"WINEPREFIX": prefix, "HOME": folder + "/home", "PATH": self.path, "LANG": "C.UTF-8",
               "LD_PRELOAD": self.preload, "KELDO_TORTURE_LOG": log,
               "KELDO_TORTURE_EXE": os.path.basename(self.report)}
        if fail:
            env["KELDO_TORTURE_FAIL"] = fail
        argv = [self.report, self.website] + MODES[mode]
        if self.args.valgrind and fail:
            # Its allocator behind ours: each call still counted and failed
            # here. The clean runs that count stay native, and quick.
            argv = ["/usr/bin/valgrind", "-q", "--error-exitcode=99", "--leak-check=no"] + argv
        started = time.monotonic()
        if mode == "tty":
            out, err, status, timed_out = run_at_terminal(argv, env, folder, self.args.timeout)
        else:
            try:
                done = subprocess.run(argv, env=env, cwd=folder, capture_output=True,
                                      timeout=self.args.timeout, start_new_session=True)
                out, err, status, timed_out = done.stdout, done.stderr, done.returncode, False
            except subprocess.TimeoutExpired as expired:
                out, err, status, timed_out = expired.stdout or b"", expired.stderr or b"", None, True
        seconds = time.monotonic() - started
        lines = open(log).read().split("\n") if os.path.exists(log) else []
        temp = os.path.join(prefix, "drive_d", "Keldo6", "LATEST_PROGS", "temp_vers.dat")
        kept = os.path.exists(temp) and open(temp, "rb").read() == self.download
        if kept:
            os.unlink(temp)
        result = {"mode": mode, "fail": fail, "out": out, "err": err, "status": status,
                  "timed_out": timed_out, "seconds": seconds, "fired": "fired" in lines,
                  "changed": tree_state(prefix) != self.template_state, "kept_download": kept}
        if not self.args.keep:
            shutil.rmtree(folder)
        return result, lines


def run_at_terminal(argv, env, folder, timeout):
    main, child_side = os.openpty()
    child = subprocess.Popen(argv, env=env, cwd=folder, stdin=child_side, stdout=child_side,
                             stderr=child_side, start_new_session=True)
    os.close(child_side)
    data = b""
    deadline = time.monotonic() + timeout
    timed_out = False
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            timed_out = True
            os.killpg(child.pid, signal.SIGKILL)
            break
        ready, _, _ = select.select([main], [], [], left)
        if not ready:
            continue
        try:
            piece = os.read(main, 65536)
        except OSError:  # EIO: the terminal's other side is closed
            break
        if not piece:
            break
        data += piece
    os.close(main)
    status = child.wait()
    return data, b"", (None if timed_out else status), timed_out


def tree_state(root):
    state = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(dirs + files):
            path = os.path.join(folder, name)
            info = os.lstat(path)
            entry = (os.path.relpath(path, root), info.st_mode)
            if os.path.islink(path):
                entry += (os.readlink(path),)
            elif os.path.isfile(path):
                entry += (hashlib.sha256(open(path, "rb").read()).hexdigest(),)
            state.append(entry)
    return state


def findings(result):
    """The findings as the run shows them: the JSON captions or the text lines."""
    if result["mode"] == "json":
        try:
            return json.loads(result["out"])["captions"]
        except (ValueError, KeyError, TypeError):
            return None
    text = result["out"].decode("utf-8", "replace")
    if result["mode"] == "tty":
        text = text.replace("\r\n", "\n").split("\r")[-1]
    return {"line %d" % i: line for i, line in enumerate(text.split("\n"))}


def problems(rig, result, clean):
    found = []
    if result["timed_out"]:
        return ["no end within %g s" % rig.args.timeout]
    status = result["status"]
    if status < 0:
        found.append("signal %d" % -status)
    elif status not in (0, 1, 2):
        found.append("exit status %d" % status)
    err_text = (result["err"] + (result["out"] if result["mode"] == "tty" else b"")).decode("utf-8", "replace")
    crash = LIBRARY_CRASH.search(err_text)
    if crash:
        found.append("stderr: " + err_text[max(0, crash.start() - 40):crash.end() + 80].strip())
    if result["changed"]:
        found.append("the prefix changed")
    for stream in ("out", "err"):
        if CONTROL.search(result[stream]):
            found.append("a raw control character on standard " + ("output" if stream == "out" else "error"))
    failed_write = (result["fail"] or "").startswith("write:")
    if result["mode"] == "json":
        if result["out"]:
            try:
                errors = list(rig.validator.iter_errors(json.loads(result["out"])))
                if errors:
                    found.append("JSON against the schema: " + errors[0].message)
            except ValueError:
                if not (failed_write and status == 1):
                    found.append("output that is no JSON")
        elif status == 0:
            found.append("no JSON and status 0")
    if status == 0 and not found:
        now, before = findings(result), findings(clean)
        if now is None or set(now) != set(before):
            found.append("other findings than the clean run's")
        else:
            for key, value in now.items():
                if value != before[key] and value.rstrip("\r\n") not in FAILURE_CAPTIONS:
                    found.append("finding %r instead of %r" % (value, before[key]))
    return found


def read_counts(lines):
    counts, sites = {}, {}
    for line in lines:
        parts = line.split()
        if len(parts) == 3 and parts[0] == "count":
            counts[parts[1]] = int(parts[2])
        elif len(parts) == 3 and parts[0] == "site":
            sites.setdefault(parts[1], []).append(int(parts[2]))
    return counts, {name: sorted(found) for name, found in sites.items()}


def plan(args, counted):
    """The runs, (mode, NAME:N), of every function each mode's clean run called."""
    modes = list(counted)
    only_name, _, only_n = (args.only or "").partition(":")
    names = sorted({name for counts, _ in counted.values() for name in counts})
    names = [name for name in names if not only_name or name == only_name]
    jobs = []
    for m, mode in enumerate(modes):
        counts, sites = counted[mode]
        # The sample's share of this mode's allocation call stacks, the modes
        # taking different ones.
        stacks = len(sites.get("malloc", []))
        stride = max(1, -(-stacks * len(modes) // max(1, args.sample_sites)))
        for name in names:
            if name in ALLOCATIONS:
                calls = sites.get(name, [])
                if args.sample:
                    # malloc's stacks by a stride; the few of the others each
                    # once, the modes taking turns.
                    calls = calls[m % stride::stride] if name == "malloc" else calls[m::len(modes)]
                jobs += [(mode, "%s:%d" % (name, n)) for n in calls]
            elif not args.sample:
                jobs += [(mode, "%s:%d" % (name, n)) for n in range(1, counts.get(name, 0) + 1)]
    if args.sample:
        # Each other call once, the modes that make it taking turns; of the
        # CA bundle's one loop of lines, the first and a few more.
        for name in names:
            if name in ALLOCATIONS:
                continue
            most = max(counted[mode][0].get(name, 0) for mode in modes)
            for n in range(1, most + 1):
                if name == "fgets" and n > 40 and n % 200 != 0:
                    continue
                making = [mode for mode in modes if counted[mode][0].get(name, 0) >= n]
                jobs.append((making[(n - 1) % len(making)], "%s:%d" % (name, n)))
    if only_n:
        jobs = sorted({(mode, "%s:%s" % (only_name, only_n)) for mode, _ in jobs})
    return jobs


def main():
    args = parse_args()
    work = tempfile.mkdtemp(prefix="keldo-torture.")
    rig = Rig(args, work)
    started = time.monotonic()
    try:
        counted, clean = {}, {}
        for mode in args.modes.split(","):
            result, lines = rig.run(mode, None, "clean-" + mode)
            found = problems(rig, result, result)
            if found or result["status"] != 0:
                sys.exit("the clean %s run failed: %s %s" % (mode, found, result["err"][:500]))
            counted[mode] = read_counts(lines)
            clean[mode] = result
        jobs = plan(args, counted)
        print("%d runs" % len(jobs), flush=True)
        per_function, faults, slowest, statuses = {}, [], 0.0, {}
        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            futures = {pool.submit(rig.run, mode, fail, "%s-%s" % (mode, fail.replace(":", "-"))):
                       (mode, fail) for mode, fail in jobs}
            for future in concurrent.futures.as_completed(futures):
                mode, fail = futures[future]
                result, _ = future.result()
                name = fail.split(":")[0]
                per_function.setdefault(name, [0, 0])[0] += 1
                slowest = max(slowest, result["seconds"])
                statuses[result["status"]] = statuses.get(result["status"], 0) + 1
                found = problems(rig, result, clean[mode])
                if found:
                    per_function[name][1] += 1
                    faults.append((fail, mode, result["status"], found))
                    print("FAULT %s %s: status %s: %s" % (mode, fail, result["status"], "; ".join(found)),
                          flush=True)
        print("\nfunction        runs  faults")
        for name, (runs, bad) in sorted(per_function.items()):
            print("%-15s %5d %7d" % (name, runs, bad))
        print("%d runs, %d faults, %.0f s, slowest run %.1f s; runs by exit status: %s" %
              (len(jobs), len(faults), time.monotonic() - started, slowest,
               ", ".join("%s: %d" % item for item in sorted(statuses.items(), key=str))))
        if faults:
            print("Reproduce one: LD_PRELOAD=%s KELDO_TORTURE_FAIL=%s WINEPREFIX=<sample> %s %s %s" %
                  (rig.preload, faults[0][0], rig.report, rig.website, " ".join(MODES[faults[0][1]])))
        return 1 if faults else 0
    finally:
        rig.stop()
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
