#!/usr/bin/env python3
"""Differential test of ombrix-scan: walk, matching, repair and what is passed over, against an independent model.

On random trees of awkward names, a model predicts the report (counts, findings, present
flags, message, exit status), the recorded values and what is left on disk in the whole
scratch folder, whose start folder lies four levels down. Differing cases print their id.
usage: differential_scan.py SCAN_TOOL SETTINGS_TOOL [--case SEED:N ...] [--kinds plain|KIND,KIND...]
Environment: OMBRIX_DIFF_SEED (default: the time), OMBRIX_DIFF_CASES (300), OMBRIX_DIFF_BUDGET (90 s).
"""

import argparse
import difflib
import itertools
import json
import os
import random
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import time

# ---------------------------------------------------------------------------
# The model: signature list, walk, matching, repair.
# ---------------------------------------------------------------------------

# Folding is ASCII-only: bytes outside A-Z are compared as they are.
FOLD = bytes.maketrans(b"ABCDEFGHIJKLMNOPQRSTUVWXYZ", b"abcdefghijklmnopqrstuvwxyz")
LAST_CHECK_SHAPE = b"<YYYY-MM-DD HH:MM:SS>"
COUNTS = ("looked_for", "dirs", "files", "detected", "removed", "still_present", "canceled")


def parse_signatures(data):
    """The entries [threat, file name] that a signature file's bytes give, in list order."""
    entries = []
    # CR LF and a lone CR end a line; an LF on its own stays part of the line.
    for raw in re.split(rb"\r\n|\r", data):
        line = raw.strip(b" ")
        if not line or line.startswith(b"'"):
            continue
        fields = line.split(b"\t")
        threat = fields[0].strip(b" ")
        file_name = fields[1].strip(b" ") if len(fields) > 1 else b""
        same = next((e for e in entries if e[1] == file_name), None)
        if same:
            same[0] += b", " + threat
        else:
            entries.append([threat, file_name])
    return entries


class Dir(list):
    """(name, node) pairs in the file system's listing order."""


class Leaf:
    """Anything that is not a folder: a file, a FIFO or a symbolic link."""

    def __init__(self, kind, target=b"", to_folder=False):
        self.kind, self.target, self.deleted = kind, target, False
        self.to_folder = to_folder  # a link that leads to a folder


def model_scan(start_arg, start_node, signatures, subfolders, remove):
    """What a scan of start_node (named start_arg) reports; marks the leaves it deletes."""
    keys = {}
    for threat, file_name in signatures:
        if file_name and not file_name.startswith(b"%"):
            keys.setdefault(file_name.translate(FOLD), threat)
    counts = {"dirs": 0, "files": 0}
    findings = []
    passed_over = []

    def visit(path, node):
        counts["dirs"] += 1
        for name, child in node:
            if isinstance(child, Dir):
                # The dot test reads the entry's own name: " .." is an ordinary folder.
                if subfolders and not name.startswith(b"."):
                    visit(path + name + b"/", child)
                elif not name.startswith(b"."):
                    passed_over.append(("subfolders_off", path + name))
                continue
            # A link is never followed: one to a folder is reported, unless its name hides it.
            if child.kind == "link" and child.to_folder and not name.startswith(b"."):
                passed_over.append(("link", path + name))
            counts["files"] += 1
            threat = keys.get(name.strip(b" ").translate(FOLD))
            if threat is not None:
                # The path is made of the entry's own bytes, blanks included.
                findings.append((threat, path + name, not remove))
                child.deleted = remove

    visit(start_arg if start_arg.endswith(b"/") else start_arg + b"/", start_node)
    left = 0 if remove else len(findings)
    return {
        "exit": 1 if findings else 0,
        "looked_for": len(signatures), "dirs": counts["dirs"], "files": counts["files"],
        "detected": len(findings), "removed": len(findings) - left, "still_present": left,
        "canceled": False,
        "message": b"Scan Complete - Problems were found!" if findings else b"Scan Complete - Your Clean",
        "findings": findings,
        "passed_over": sorted(passed_over),
        "records": {
            b"Status": b"255" if left else b"65280",
            b"UnabletoClean": str(left).encode(),
            b"Found": str(len(findings) + 1).encode(),
            b"Looked For": str(len(signatures)).encode(),
            b"FileCount": str(counts["files"]).encode(),
            b"DirCount": str(counts["dirs"]).encode(),
            b"Last Check": LAST_CHECK_SHAPE,
        },
    }


# ---------------------------------------------------------------------------
# Trees on disk. Everything goes through folder descriptors, so chains longer than
# PATH_MAX can be built, read and removed.
# ---------------------------------------------------------------------------

# Tree items: ("file",), ("fifo",), ("dir", [(name, item)...]),
# ("link", target, scratch_relative): an absolute target inside scratch when
# scratch_relative is true, else the target bytes as written.

def build(dir_fd, entries, scratch):
    for name, item in entries:
        kind = item[0]
        if kind == "file":
            os.close(os.open(name, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644, dir_fd=dir_fd))
        elif kind == "fifo":
            os.mkfifo(name, dir_fd=dir_fd)
        elif kind == "link":
            os.symlink(scratch + b"/" + item[1] if item[2] else item[1], name, dir_fd=dir_fd)
        else:
            os.mkdir(name, dir_fd=dir_fd)
            fd = os.open(name, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW, dir_fd=dir_fd)
            build(fd, item[1], scratch)
            os.close(fd)


def snapshot(name, dir_fd=None):
    """The folder as the file system lists it, in its own listing order."""
    fd = os.open(name, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW, dir_fd=dir_fd)
    node = Dir()
    with os.scandir(fd) as listing:
        for entry in listing:
            name = os.fsencode(entry.name)
            if entry.is_dir(follow_symlinks=False):
                child = snapshot(name, fd)
            elif entry.is_symlink():
                try:
                    to_folder = stat.S_ISDIR(os.stat(name, dir_fd=fd).st_mode)
                except OSError:
                    to_folder = False
                child = Leaf("link", os.readlink(name, dir_fd=fd), to_folder)
            else:
                child = Leaf("fifo" if stat.S_ISFIFO(entry.stat(follow_symlinks=False).st_mode) else "file")
            node.append((name, child))
    os.close(fd)
    return node


def flatten(node, prefix=b""):
    """Every entry left under node as (relative path, kind, link target), deleted leaves left out."""
    out = []
    for name, child in node:
        path = prefix + name
        if isinstance(child, Dir):
            out.append((path, "dir", b""))
            out.extend(flatten(child, path + b"/"))
        elif not child.deleted:
            out.append((path, child.kind, child.target))
    return out


# ---------------------------------------------------------------------------
# Random cases.
# ---------------------------------------------------------------------------

# blank-files: " eicar.com ", " a" beside "a", "   "; blank-dirs: " a" beside "a", "sub ";
# dot-dirs: " ..", " .", "  .  ", " " as folders; blank-hidden: " .hid" beside ".hid";
# odd-bytes: newline, backslash, TAB, leading "-", bytes that are not UTF-8; long-names: 255 bytes;
# deep: a chain of folders past PATH_MAX; symlinks: to files and folders outside the start folder,
# dangling; start-names: start folder " start", "start ", "-start", given relative or absolute.
HOSTILE_KINDS = ["blank-files", "blank-dirs", "dot-dirs", "blank-hidden", "odd-bytes", "long-names", "deep",
                 "symlinks", "fifos", "start-names"]

THREATS = [b"EICAR-Test", b"Trojan.A", b"Worm.B", b"Backdoor.Agent", b"W32.Blaster", b"Adware.X"]
ODD_THREATS = [b"Tro\xe9jan", b'Virus "Q"', b"W32\\Odd", b"\xc3\x89vil.Worm"]
PLAIN_SIG_FILES = [b"eicar.com", b"bad.exe", b"Trojan.DLL", b"setup.exe", b"autorun.inf",
                   b"Invoice.pdf.exe", b"a", b"x.scr", b"README.TXT.vbs", b"my file.exe"]
ODD_SIG_FILES = [b"back\\slash.bat", b"-rf", b"caf\xe9.exe", b"\xc3\x89vil.exe", b"\xff\xfe.com",
                 b"new\nline.exe"]
LONG_SIG_FILES = [b"L" * 251 + b".exe", b"m" * 200 + b"Long.Name.com"]
OTHER_FILES = [b"notes.txt", b"photo.jpg", b"data.bin", b"Makefile", b".profile", b"b c.doc"]
PLAIN_DIRS = [b"sub", b"Docs", b"a", b"b c", b"empty", b"bad.exe", b"Program Files", b".hid"]
ODD_DIRS = [b"nl\ndir", b"back\\dir", b"tab\tdir", b"-dir", b"d\xff\xfe", b"\xc3\xa9t\xc3\xa9"]
ODD_FILES = [b"nl\nfile.txt", b"tab\tfile", b"-n", b"--help", b"\x80\x81", b"CAF\xc9.EXE"]

ROOT = [b"g1", b"g2", b"root"]  # the start folder's parent, three levels below scratch
SIBLING = b"sibling"


def is_plain(name):
    """A name no walk could misread: printable ASCII, no blanks at the ends, no leading "-"."""
    return (all(0x20 <= b < 0x7F for b in name) and b"\\" not in name
            and name.strip(b" ") == name and not name.startswith(b"-"))


def flip_case(rng, name):
    return bytes(b ^ 0x20 if (65 <= b <= 90 or 97 <= b <= 122) and rng.random() < 0.5 else b
                 for b in name)


def unique(entries):
    """The entries with each name once, the first one kept."""
    return list({name: item for name, item in reversed(entries)}.items())


RUNS = [(True, False), (False, False), (True, True), (False, True)]  # (subfolders, remove)


class Case:
    """One case: a signature file and a tree (start folder and what lies around it)."""

    def __init__(self, case_id, kinds_option):
        self.id = case_id
        self.rng = rng = random.Random(case_id)
        if kinds_option == "all":
            self.kinds = [k for k in HOSTILE_KINDS if rng.random() < 0.5]
        else:
            self.kinds = [] if kinds_option == "plain" else kinds_option.split(",")
        self.signatures = self.signature_file()
        names = [f for _, f in parse_signatures(self.signatures) if f]
        if "odd-bytes" not in self.kinds:
            names = [n for n in names if is_plain(n)]
        self.match_names = [n for n in names if len(n) <= 255 and b"/" not in n] or [b"eicar.com"]
        # What lies outside the start folder is named to match, so that a scan that
        # strays there shows in what is left on disk.
        exact = [n for n in self.match_names if not n.startswith(b"%")] or [b"eicar.com"]
        self.outside_file = rng.choice(exact)
        self.outside_dir = rng.choice(exact)
        self.deep_done = False
        self.tree, self.start_components, self.relative, self.slash = self.layout()
        # Helper threads reading ahead: the program's own choice, none, or several.
        self.threads = {run: rng.choice([None, 1, 3, 16]) for run in RUNS}

    def signature_file(self):
        rng = self.rng
        if rng.random() < 0.04:
            return b"' nothing to look for\r\n\r\n   ' still nothing\r\n"
        pool = list(PLAIN_SIG_FILES)
        threats = list(THREATS)
        if "odd-bytes" in self.kinds:
            pool += ODD_SIG_FILES
            threats += ODD_THREATS
        if "long-names" in self.kinds:
            pool += LONG_SIG_FILES
        files = rng.sample(pool, rng.randint(2, min(7, len(pool))))
        pairs = [(rng.choice(threats), f) for f in files]
        for f in files:
            roll = rng.random()
            if roll < 0.2:
                pairs.append((rng.choice(threats), f))             # joined with ", "
            elif roll < 0.35:
                pairs.append((b"Case.Variant", flip_case(rng, f)))  # a separate entry
            elif roll < 0.45:
                pairs.append((b"Percent", b"%" + f))                 # never matches
        pairs += rng.sample([(b"NoTab", None), (b"", rng.choice(files)), (b"EmptyName", b""),
                             (b"Extra", rng.choice(files) + b"\tignored\tfields")], rng.randint(0, 2))
        rng.shuffle(pairs)
        pad = lambda: b" " * rng.choice([0, 0, 1, 2])
        lines = [pad() + t + pad() + (b"" if f is None else b"\t" + pad() + f + pad()) for t, f in pairs]
        for _ in range(rng.randint(0, 3)):
            lines.insert(rng.randint(0, len(lines)), rng.choice(
                [b"' comment", b"   ' x\t" + rng.choice(files), b"", b"    ", b"'"]))
        ends = rng.choices([b"\r\n", b"\r", b"\n"], weights=[6, 2, 1], k=len(lines))
        ends[-1] = rng.choice([ends[-1], ends[-1], b""])  # the last line without an end, at times
        return b"".join(line + end for line, end in zip(lines, ends))

    def matching_name(self):
        rng = self.rng
        base = rng.choice(self.match_names)
        variants = [base, base, flip_case(rng, base), flip_case(rng, base),
                    base + b".bak", b"x" + base, b"%" + base]
        if "blank-files" in self.kinds:
            variants += [b" " + base, base + b" ", b"  " + base + b" "]
        if "odd-bytes" in self.kinds:
            variants.append(base.replace(b"\xc9", b"\xe9").replace(b"\xc3\x89", b"\xc3\xa9"))
        name = rng.choice(variants)
        return name if len(name) <= 255 else base

    def file_name(self):
        if self.rng.random() < 0.6:
            return self.matching_name()
        if "odd-bytes" in self.kinds and self.rng.random() < 0.3:
            return self.rng.choice(ODD_FILES)
        return self.rng.choice(OTHER_FILES)

    def folder(self, depth, force=False):
        """The entries of one folder; with force, one of each enabled hostile kind."""
        rng = self.rng
        entries = {}

        def add(name, item):
            if name not in entries and 0 < len(name) <= 255 and b"/" not in name and name not in (b".", b".."):
                entries[name] = item

        for _ in range(rng.randint(0, 5)):
            add(self.file_name(), ("file",))
        if depth < 3:
            for _ in range(rng.choice([0, 0, 1, 1, 2, 3])):
                name = rng.choice(PLAIN_DIRS + [rng.choice(self.match_names)])
                add(name, ("dir", self.folder(depth + 1)))
        for kind in self.kinds:
            if force or rng.random() < 0.25:
                self.add_hostile(kind, add)
        return list(entries.items())

    def few_files(self):
        return unique([(self.matching_name(), ("file",)) for _ in range(self.rng.randint(1, 3))])

    def add_hostile(self, kind, add):
        rng = self.rng
        match = rng.choice(self.match_names)
        if kind == "blank-files":
            for name in (b" " + match, match, b" eicar.com ", b"   "):
                add(name, ("file",))
        elif kind == "blank-dirs":
            for name in (b" a", b"a", b"sub "):
                add(name, ("dir", self.few_files()))
        elif kind == "dot-dirs":
            add(rng.choice([b" ..", b" .", b"  .  ", b" "]), ("dir", self.few_files()))
        elif kind == "blank-hidden":
            add(b" .hid", ("dir", self.few_files()))
            add(b".hid", ("dir", self.few_files()))
        elif kind == "odd-bytes":
            add(rng.choice(ODD_DIRS), ("dir", self.few_files()))
            add(rng.choice(ODD_FILES), ("file",))
        elif kind == "long-names":
            add(rng.choice(LONG_SIG_FILES), ("file",))
            add(flip_case(rng, LONG_SIG_FILES[0]), ("file",))
            add(b"D" * 255, ("dir", self.few_files()))
        elif kind == "deep" and not self.deep_done:
            self.deep_done = True
            # 20 folders of 200 to 255 bytes: the deepest paths are well past PATH_MAX.
            chain = self.few_files()
            for level in range(20):
                name = (b"deep%02d-" % level) + b"d" * rng.randint(193, 248)
                chain = [(name, ("dir", chain))] + ([(self.matching_name(), ("file",))] if level % 5 == 0 else [])
            add(chain[0][0], chain[0][1])
        elif kind == "symlinks":
            # Links are named to match; their targets outside the start folder must stay.
            outside = b"/".join(ROOT) + b"/"
            add(match, ("link", outside + self.outside_file, True))
            add(flip_case(rng, match), ("link", outside + SIBLING + b"/" + self.outside_dir, True))
            add(b"to-sibling", ("link", outside + SIBLING, True))
            add(b"up", ("link", b"..", False))
            add(b"dangling-" + match if len(match) < 200 else b"dangling", ("link", outside + b"nowhere", True))
        elif kind == "fifos":
            add(match, ("fifo",))
            add(b"pipe", ("fifo",))
        # "start-names" names the start folder itself: see layout().

    def layout(self):
        """(scratch tree, start folder's components below scratch, relative start?, final "/"?)."""
        rng = self.rng
        start_name = b"start"
        if "start-names" in self.kinds:
            start_name = rng.choice([b" start", b"start ", b"-start", b" start "])
        start = self.folder(0, force=True)
        # Matching entries outside the start folder that every scan must leave alone.
        sibling = unique([(self.outside_file, ("file",)), (self.outside_dir, ("dir", self.few_files()))]
                         + self.few_files())
        root = [(start_name, ("dir", start)), (SIBLING, ("dir", sibling)), (self.outside_file, ("file",))]
        if start_name != b"start":
            root.append((b"start", ("dir", self.few_files())))  # what a trimmed start path would name
        root = unique(root + self.few_files())
        tree = [(ROOT[0], ("dir", [(ROOT[1], ("dir", [(ROOT[2], ("dir", root))]))]))]
        return tree, ROOT + [start_name], rng.random() < 0.4, rng.random() < 0.5

    def start_arg(self, scratch):
        arg = self.start_components[-1] if self.relative else b"/".join([scratch] + self.start_components)
        return arg + b"/" if self.slash else arg


# ---------------------------------------------------------------------------
# Running ombrix-scan, reading what it did, comparing.
# ---------------------------------------------------------------------------

def run_scan(tools, cwd, start_arg, subfolders, remove, key, threads):
    # The trees lie on this machine's own disks, where no quarantine folder may be made.
    if remove:
        subprocess.run([tools.settings, "--key", key, "set", "Quarantine", "0"], env=tools.env, check=True, timeout=30)
    command = [tools.scan, "--signatures", tools.signatures, "--record", key, "--json", "--quiet"]
    command += [] if threads is None else ["--threads", str(threads)]
    command += ([] if subfolders else ["--no-subfolders"]) + (["--remove"] if remove else [])
    try:
        done = subprocess.run(command + ["--", start_arg], cwd=cwd, env=tools.env, capture_output=True, timeout=5)
    except subprocess.TimeoutExpired:
        return {"failure": "timed out"}
    try:  # a program killed by a signal (negative exit) gives no report either
        report = json.loads(done.stdout.decode("utf-8"))
        outcome = {name: report[name] for name in COUNTS}
        # Bytes that are not UTF-8 come as \udcXX.
        decode = lambda text: text.encode("utf-8", "surrogateescape")
        outcome["message"] = decode(report["message"])
        outcome["findings"] = [(decode(f["threat"]), decode(f["path"]), f["present"]) for f in report["findings"]]
        # Every count is made up by its paths here: no case passes over a hundred.
        outcome["passed_over"] = sorted((r["reason"], decode(p["path"])) for r in report["passed_over"]
                                        for p in r["paths"][:r["count"]])
        outcome["passed_over"] += [("count differs", r["reason"]) for r in report["passed_over"]
                                   if r["count"] != len(r["paths"])]
    except (ValueError, KeyError, TypeError, AttributeError):
        return {"failure": "exit %d, output not as expected: %r; stderr %r"
                           % (done.returncode, done.stdout[:200], done.stderr[:200])}
    listed = subprocess.run([tools.settings, "--key", key, "list"], env=tools.env, capture_output=True, timeout=30)
    records = dict(line.split(b"\t", 2)[::2] for line in listed.stdout.split(b"\n") if line.count(b"\t") >= 2)
    records.pop(b"Quarantine", None)
    if re.fullmatch(rb"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d", records.get(b"Last Check", b"")):
        records[b"Last Check"] = LAST_CHECK_SHAPE
    outcome.update(exit=done.returncode, records=records, output=done.stdout)
    return outcome


def show(data, scratch):
    return repr(data.replace(scratch + b"/", b"<tmp>/"))[1:]


def render(outcome, disk, scratch):
    """An outcome as lines, so two of them can be diffed."""
    if "failure" in outcome:
        lines = ["engine: " + outcome["failure"]]
    else:
        lines = ["exit status: %s" % outcome["exit"]] + ["%s: %s" % (k, outcome[k]) for k in COUNTS]
        lines.append("message: " + show(outcome["message"], scratch))
        lines += ["finding: %s %s present=%s" % (show(threat, scratch), show(path, scratch), present)
                  for threat, path, present in outcome["findings"]]
        lines += ["passed over: %s %s" % (reason, show(path, scratch)) for reason, path in outcome["passed_over"]]
        lines += ["record %s: %s" % (show(k, scratch), show(v, scratch))
                  for k, v in sorted(outcome["records"].items())]
    return lines + ["on disk: %s %s%s" % (kind, show(path, scratch),
                                          " -> " + show(target, scratch) if target else "")
                    for path, kind, target in sorted(disk)]


def check_case(tools, case, runs):
    """The differences of every run of the case from the model, as printable lines."""
    with open(tools.signatures, "wb") as f:
        f.write(case.signatures)
    signatures = parse_signatures(case.signatures)
    report = []
    scratch = None
    for subfolders, remove in RUNS:
        # A removing run gets a tree of its own; the looking runs share one.
        if scratch is None or remove:
            if scratch is not None:
                shutil.rmtree(scratch)
            scratch = tempfile.mkdtemp(dir=tools.folder)
            fd = os.open(scratch, os.O_RDONLY | os.O_DIRECTORY)
            build(fd, case.tree, scratch)
            os.close(fd)
        before = snapshot(scratch)
        start_node = before
        for name in case.start_components:
            start_node = dict(start_node)[name]
        start_arg = case.start_arg(scratch)
        cwd = b"/".join([scratch] + case.start_components[:-1])
        expected = model_scan(start_arg, start_node, signatures, subfolders, remove)
        threads = case.threads[(subfolders, remove)]
        actual = run_scan(tools, cwd, start_arg, subfolders, remove, "Diff\\run%d" % next(runs), threads)
        run = "case %s (%s, %s, start %s)" % (case.id, "subfolders" if subfolders else "--no-subfolders",
                                             "--remove" if remove else "no removal", show(start_arg, scratch))
        if not remove:
            # Reading folders ahead on helper threads changes nothing: the walk on one
            # thread gives the very same output bytes and recorded values.
            single = run_scan(tools, cwd, start_arg, subfolders, False, "Diff\\run%d" % next(runs), 0)
            same = lambda o: (o.get("failure"), o.get("exit"), o.get("output"), o.get("records"))
            if same(single) != same(actual):
                report += [run + " differs with --threads 0 from --threads %s:" % threads,
                           "  " + show(single.get("output") or single.get("failure", "").encode(), scratch),
                           "  " + show(actual.get("output") or actual.get("failure", "").encode(), scratch)]
        expected_lines = render(expected, flatten(before), scratch)
        actual_lines = render(actual, flatten(snapshot(scratch)), scratch)
        if expected_lines != actual_lines:
            report.append(run + " differs from the model; signature file " + show(case.signatures, scratch))
            report += list(difflib.unified_diff(expected_lines, actual_lines, n=1, lineterm=""))[2:]
    shutil.rmtree(scratch)
    return report


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("scan")
    parser.add_argument("settings")
    parser.add_argument("--case", action="append", default=[], help="run only this case id (SEED:N)")
    parser.add_argument("--kinds", default="all", help="all, plain, or a comma list of: " + ", ".join(HOSTILE_KINDS))
    tools = parser.parse_args()
    # Scans run in the start folder's parent, so the programs are named absolutely.
    tools.scan, tools.settings = os.path.abspath(tools.scan), os.path.abspath(tools.settings)
    seed = os.environ.get("OMBRIX_DIFF_SEED", str(int(time.time())))
    ids = tools.case or ["%s:%d" % (seed, i) for i in range(int(os.environ.get("OMBRIX_DIFF_CASES", 300)))]
    budget = float(os.environ.get("OMBRIX_DIFF_BUDGET", 90))
    print("seed %s, %d cases, kinds %s" % (seed, len(ids), tools.kinds), flush=True)
    # Thousands of small trees and a store that syncs every write: a RAM disk is much faster.
    tmp = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
    with tempfile.TemporaryDirectory(prefix="ombrix-diff-", dir=tmp) as folder, \
         tempfile.TemporaryDirectory(prefix="ombrix-diff-store-", dir=tmp) as store:
        tools.folder, tools.signatures = folder.encode(), os.path.join(store, "signatures.ini")
        tools.env = dict(os.environ, OMBRIX_SETTINGS=os.path.join(store, "settings.db"), HOME=store,
                         XDG_CONFIG_HOME=store)
        runs, began, differing = itertools.count(1), time.monotonic(), []
        for done, case_id in enumerate(ids):
            # A slow machine runs fewer cases rather than overrun the test suite's time.
            if budget and time.monotonic() - began > budget:
                print("time budget of %g s used up after %d of %d cases" % (budget, done, len(ids)))
                break
            report = check_case(tools, Case(case_id, tools.kinds), runs)
            if report:
                differing.append(case_id)
                print("\n".join(report), flush=True)
                if len(differing) >= 25:
                    break
    print("%d scans in %.1f s; %d differing cases%s" % (next(runs) - 1, time.monotonic() - began, len(differing),
                                                       (": " + " ".join(differing)) if differing else ""))
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
