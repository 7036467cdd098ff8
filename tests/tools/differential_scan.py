#!/usr/bin/env python3
"""Differential test of ombrix-scan: walk, matching and repair against an independent model.

For many random trees full of awkward names, a small model of the scan predicts what
ombrix-scan reports (counts, findings in order, present flags, message, exit status),
what it records in the settings store and what is left on disk in the whole scratch
folder, including the matching files outside the start folder that must survive.
Every case that differs is printed with the seed that reproduces it.

usage: differential_scan.py SCAN_TOOL SETTINGS_TOOL [--cases N] [--seed S] [--case ID ...]
                            [--kinds all|plain|KIND,KIND...] [--timeout SEC] [--budget SEC]
                            [--max-failures N] [--tmp DIR] [--verbose] [--keep]

The seed defaults to the time ($OMBRIX_DIFF_SEED overrides it), the number of cases to
300 ($OMBRIX_DIFF_CASES). Trees are built only inside a fresh temporary folder, the
start folder four levels below it, so an engine that climbs out of the start folder
still stays in scratch space. The settings store is always a temporary file.
"""

import argparse
import collections
import difflib
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
        same = [e for e in entries if e[1] == file_name]
        for entry in same:
            entry[0] += b", " + threat
        if not same:
            entries.append([threat, file_name])
    return entries


class Dir:
    def __init__(self):
        self.entries = []  # (name, node) in the file system's listing order


class Leaf:
    """Anything that is not a folder: a file, a FIFO or a symbolic link."""

    def __init__(self, kind, target=None):
        self.kind = kind
        self.target = target
        self.deleted = False


class Row:
    def __init__(self, threat, path, leaf):
        self.threat = threat
        self.path = path
        self.leaf = leaf
        self.present = True


def model_scan(start_arg, start_node, signatures, subfolders, remove):
    """What a scan of start_node (named start_arg) reports; marks the leaves it deletes."""
    start = start_arg if start_arg.endswith(b"/") else start_arg + b"/"
    keys = [(file_name.translate(FOLD), threat) for threat, file_name in signatures
            if file_name and not file_name.startswith(b"%")]
    counts = {"dirs": 0, "files": 0}
    rows = []

    def check(name, folder, leaf):
        key = name.strip(b" ").translate(FOLD)
        if not key:
            return
        threat = next((t for k, t in keys if k == key), None)
        if threat is None:
            return
        # The path is made of the entry's own bytes, blanks included.
        row = Row(threat, folder + name, leaf)
        rows.append(row)
        if remove:
            leaf.deleted = True
        row.present = not leaf.deleted

    def visit(path, node):
        counts["dirs"] += 1
        for name, child in node.entries:
            if isinstance(child, Dir):
                # The dot test reads the entry's own name: " .." is an ordinary folder.
                if subfolders and not name.startswith(b"."):
                    visit(path + name + b"/", child)
            else:
                counts["files"] += 1
                check(name, path, child)

    visit(start, start_node)

    still_present = removed = 0
    for row in rows:
        if remove:
            row.leaf.deleted = True
        if row.leaf.deleted:
            row.present = False
            removed += 1
        else:
            still_present += 1

    found = bool(rows)
    return {
        "exit": 1 if found else 0,
        "looked_for": len(signatures),
        "dirs": counts["dirs"],
        "files": counts["files"],
        "detected": len(rows),
        "removed": removed,
        "still_present": still_present,
        "canceled": False,
        "message": b"Scan Complete - Problems were found!" if found else b"Scan Complete - Your Clean",
        "findings": [(r.threat, r.path, r.present) for r in rows],
        "records": {
            b"Status": b"255" if still_present else b"65280",
            b"UnabletoClean": str(still_present).encode(),
            b"Found": str(len(rows) + 1).encode(),
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
            target = scratch + b"/" + item[1] if item[2] else item[1]
            os.symlink(target, name, dir_fd=dir_fd)
        else:
            os.mkdir(name, dir_fd=dir_fd)
            fd = os.open(name, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW, dir_fd=dir_fd)
            try:
                build(fd, item[1], scratch)
            finally:
                os.close(fd)


def snapshot(dir_fd):
    """The folder as the file system lists it, in its own listing order."""
    node = Dir()
    with os.scandir(dir_fd) as listing:
        for entry in listing:
            name = os.fsencode(entry.name)
            if entry.is_dir(follow_symlinks=False):
                fd = os.open(name, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW, dir_fd=dir_fd)
                try:
                    child = snapshot(fd)
                finally:
                    os.close(fd)
            elif entry.is_symlink():
                child = Leaf("link", os.readlink(name, dir_fd=dir_fd))
            elif stat.S_ISFIFO(entry.stat(follow_symlinks=False).st_mode):
                child = Leaf("fifo")
            else:
                child = Leaf("file")
            node.entries.append((name, child))
    return node


def snapshot_path(path):
    fd = os.open(path, os.O_RDONLY | os.O_DIRECTORY)
    try:
        return snapshot(fd)
    finally:
        os.close(fd)


def flatten(node, prefix=b""):
    """Every entry left under node as (relative path, kind, link target), deleted leaves left out."""
    out = []
    for name, child in node.entries:
        path = prefix + name
        if isinstance(child, Dir):
            out.append((path, "dir", b""))
            out.extend(flatten(child, path + b"/"))
        elif not child.deleted:
            out.append((path, child.kind, child.target or b""))
    return out


def find_node(root, components):
    node = root
    for name in components:
        node = dict(node.entries)[name]
    return node


# ---------------------------------------------------------------------------
# Random cases.
# ---------------------------------------------------------------------------

HOSTILE_KINDS = [
    "blank-files",   # " eicar.com ", " a" beside "a", "   "
    "blank-dirs",    # " a" beside "a", "sub "
    "dot-dirs",      # " ..", " .", "  .  ", " " as folders
    "blank-hidden",  # " .hid" beside ".hid"
    "odd-bytes",     # newline, backslash, TAB, leading "-", bytes that are not UTF-8
    "long-names",    # 255-byte names
    "deep",          # a chain of folders longer than PATH_MAX
    "symlinks",      # links to files and folders outside the start folder, dangling links
    "fifos",
    "start-names",   # start folder " start", "start ", "-start", given relative or absolute
]

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
LAST_CHECK_SHAPE = b"<YYYY-MM-DD HH:MM:SS>"


def is_plain(name):
    """A name no walk could misread: printable ASCII, no blanks at the ends, no leading "-"."""
    return (all(0x20 <= b < 0x7F for b in name) and b"\\" not in name
            and name.strip(b" ") == name and not name.startswith(b"-"))


def flip_case(rng, name):
    return bytes(b ^ 0x20 if (65 <= b <= 90 or 97 <= b <= 122) and rng.random() < 0.5 else b
                 for b in name)


class CaseMaker:
    """One case: a signature file and a tree (start folder and what lies around it)."""

    def __init__(self, rng, kinds):
        self.rng = rng
        self.kinds = kinds
        self.signature_bytes = self.signature_file()
        names = [f for _, f in parse_signatures(self.signature_bytes) if f]
        if "odd-bytes" not in kinds:
            names = [n for n in names if is_plain(n)]
        self.match_names = [n for n in names if len(n) <= 255 and b"/" not in n] or [b"eicar.com"]
        # What lies outside the start folder is named to match, so that a scan that
        # strays there shows in what is left on disk.
        exact = [n for n in self.match_names if not n.startswith(b"%")] or [b"eicar.com"]
        self.outside_file = rng.choice(exact)
        self.outside_dir = rng.choice(exact)
        self.deep_done = False

    def has(self, kind):
        return kind in self.kinds

    # --- signature file -----------------------------------------------------

    def signature_file(self):
        rng = self.rng
        if rng.random() < 0.04:
            return b"' nothing to look for\r\n\r\n   ' still nothing\r\n"
        pool = list(PLAIN_SIG_FILES)
        threats = list(THREATS)
        if self.has("odd-bytes"):
            pool += ODD_SIG_FILES
            threats += ODD_THREATS
        if self.has("long-names"):
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
        lines = [self.signature_line(t, f) for t, f in pairs]
        for _ in range(rng.randint(0, 3)):
            lines.insert(rng.randint(0, len(lines)), rng.choice(
                [b"' comment", b"   ' x\t" + rng.choice(files), b"", b"    ", b"'"]))
        out = b""
        for i, line in enumerate(lines):
            last = i == len(lines) - 1
            end = rng.choices([b"\r\n", b"\r", b"\n"], weights=[6, 2, 1])[0]
            out += line + (b"" if last and rng.random() < 0.3 else end)
        return out

    def signature_line(self, threat, file_name):
        pad = lambda: b" " * self.rng.choice([0, 0, 1, 2])
        if file_name is None:
            return pad() + threat + pad()
        return pad() + threat + pad() + b"\t" + pad() + file_name + pad()

    # --- names --------------------------------------------------------------

    def matching_name(self):
        rng = self.rng
        base = rng.choice(self.match_names)
        variants = [base, base, flip_case(rng, base), flip_case(rng, base),
                    base + b".bak", b"x" + base, b"%" + base]
        if self.has("blank-files"):
            variants += [b" " + base, base + b" ", b"  " + base + b" "]
        if self.has("odd-bytes"):
            variants.append(base.replace(b"\xc9", b"\xe9").replace(b"\xc3\x89", b"\xc3\xa9"))
        name = rng.choice(variants)
        return name if len(name) <= 255 else base

    def file_name(self):
        if self.rng.random() < 0.6:
            return self.matching_name()
        if self.has("odd-bytes") and self.rng.random() < 0.3:
            return self.rng.choice(ODD_FILES)
        return self.rng.choice(OTHER_FILES)

    # --- folders ------------------------------------------------------------

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
                getattr(self, "add_" + kind.replace("-", "_"))(add, depth)
        return list(entries.items())

    def few_files(self):
        return unique([(self.matching_name(), ("file",)) for _ in range(self.rng.randint(1, 3))])

    def add_blank_files(self, add, depth):
        base = self.rng.choice(self.match_names)
        add(b" " + base, ("file",))
        add(base, ("file",))
        add(b" eicar.com ", ("file",))
        add(b"   ", ("file",))

    def add_blank_dirs(self, add, depth):
        add(b" a", ("dir", self.few_files()))
        add(b"a", ("dir", self.few_files()))
        add(b"sub ", ("dir", self.few_files()))

    def add_dot_dirs(self, add, depth):
        add(self.rng.choice([b" ..", b" .", b"  .  ", b" "]), ("dir", self.few_files()))

    def add_blank_hidden(self, add, depth):
        add(b" .hid", ("dir", self.few_files()))
        add(b".hid", ("dir", self.few_files()))

    def add_odd_bytes(self, add, depth):
        add(self.rng.choice(ODD_DIRS), ("dir", self.few_files()))
        add(self.rng.choice(ODD_FILES), ("file",))

    def add_long_names(self, add, depth):
        add(self.rng.choice(LONG_SIG_FILES), ("file",))
        add(flip_case(self.rng, LONG_SIG_FILES[0]), ("file",))
        add(b"D" * 255, ("dir", self.few_files()))

    def add_deep(self, add, depth):
        if self.deep_done:
            return
        self.deep_done = True
        # 20 folders of 200 to 255 bytes: the deepest paths are well past PATH_MAX.
        chain = self.few_files()
        for level in range(20):
            name = (b"deep%02d-" % level) + b"d" * self.rng.randint(193, 248)
            chain = [(name, ("dir", chain))] + ([(self.matching_name(), ("file",))] if level % 5 == 0 else [])
        add(chain[0][0], chain[0][1])

    def add_symlinks(self, add, depth):
        # Links are named to match; their targets outside the start folder must stay.
        outside = b"/".join(ROOT) + b"/"
        match = self.rng.choice(self.match_names)
        add(match, ("link", outside + self.outside_file, True))
        add(flip_case(self.rng, match), ("link", outside + SIBLING + b"/" + self.outside_dir, True))
        add(b"to-sibling", ("link", outside + SIBLING, True))
        add(b"up", ("link", b"..", False))
        add(b"dangling-" + match if len(match) < 200 else b"dangling", ("link", outside + b"nowhere", True))

    def add_fifos(self, add, depth):
        add(self.rng.choice(self.match_names), ("fifo",))
        add(b"pipe", ("fifo",))

    def add_start_names(self, add, depth):
        pass  # the start folder's own name: see layout()

    # --- the whole scratch tree ---------------------------------------------

    def layout(self):
        """(scratch tree, start folder's components below scratch, relative start?, final "/"?)."""
        rng = self.rng
        start_name = b"start"
        if self.has("start-names"):
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


def unique(entries):
    """The entries with each name once, the first one kept."""
    first = {}
    for name, item in entries:
        first.setdefault(name, item)
    return list(first.items())


class Case:
    def __init__(self, case_id, kinds_option):
        self.id = case_id
        rng = random.Random(case_id)
        if kinds_option == "all":
            kinds = [k for k in HOSTILE_KINDS if rng.random() < 0.5]
        elif kinds_option == "plain":
            kinds = []
        else:
            kinds = kinds_option.split(",")
        self.kinds = kinds
        maker = CaseMaker(rng, kinds)
        self.signatures = maker.signature_bytes
        self.tree, self.start_components, self.relative, self.slash = maker.layout()
        # Helper threads reading ahead: the program's own choice, none, or several.
        self.threads = {run: rng.choice([None, 1, 3, 16]) for run in RUNS}

    def start_arg(self, scratch):
        if self.relative:
            arg = self.start_components[-1]
        else:
            arg = b"/".join([scratch] + self.start_components)
        return arg + b"/" if self.slash else arg


# ---------------------------------------------------------------------------
# Running ombrix-scan and reading what it did.
# ---------------------------------------------------------------------------

def decode(text):
    """Bytes from a JSON string whose bytes that are not UTF-8 came as \\udcXX."""
    return text.encode("utf-8", "surrogateescape")


def run_scan(tools, env, signature_path, scratch, case, start_arg, subfolders, remove, key, timeout, threads=None):
    command = [tools.scan, "--signatures", signature_path, "--record", key, "--json", "--quiet"]
    command += [] if threads is None else ["--threads", str(threads)]
    command += [] if subfolders else ["--no-subfolders"]
    command += ["--remove"] if remove else []
    command += ["--", start_arg]
    cwd = b"/".join([scratch] + case.start_components[:-1])
    try:
        done = subprocess.run(command, cwd=cwd, env=env, capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return {"failure": "timed out after %g s" % timeout}
    if done.returncode < 0:
        return {"failure": "killed by signal %d" % -done.returncode}
    try:
        report = json.loads(done.stdout.decode("utf-8"))
        outcome = {name: report[name] for name in COUNTS}
        outcome["message"] = decode(report["message"])
        outcome["findings"] = [(decode(f["threat"]), decode(f["path"]), f["present"])
                               for f in report["findings"]]
    except (ValueError, KeyError, TypeError, AttributeError):
        return {"failure": "exit %d, output not as expected: %r; stderr %r"
                           % (done.returncode, done.stdout[:200], done.stderr[:200])}
    outcome["exit"] = done.returncode
    outcome["records"] = read_records(tools, env, key)
    outcome["output"] = done.stdout
    return outcome


def read_records(tools, env, key):
    done = subprocess.run([tools.settings, "--key", key, "list"], env=env, capture_output=True, timeout=30)
    records = {}
    for line in done.stdout.split(b"\n"):
        parts = line.split(b"\t", 2)
        if len(parts) == 3:
            records[parts[0]] = parts[2]
    stamp = records.get(b"Last Check")
    if stamp is not None and re.fullmatch(rb"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d", stamp):
        records[b"Last Check"] = LAST_CHECK_SHAPE
    return records


# ---------------------------------------------------------------------------
# Comparing and reporting.
# ---------------------------------------------------------------------------

COUNTS = ("looked_for", "dirs", "files", "detected", "removed", "still_present", "canceled")


def show(data, scratch=None):
    if scratch is not None:
        data = data.replace(scratch + b"/", b"<tmp>/")
    return repr(data)[1:]


def render(outcome, disk, scratch):
    """An outcome as lines, so two of them can be diffed."""
    if "failure" in outcome:
        lines = ["engine: " + outcome["failure"]]
    else:
        lines = ["exit status: %s" % outcome["exit"]]
        lines += ["%s: %s" % (k, outcome[k]) for k in COUNTS]
        lines.append("message: " + show(outcome["message"]))
        for i, (threat, path, present) in enumerate(outcome["findings"], 1):
            lines.append("finding %d: %s %s present=%s" % (i, show(threat), show(path, scratch), present))
        lines += ["record %s: %s" % (show(k), show(v)) for k, v in sorted(outcome["records"].items())]
    lines += ["on disk: %s %s%s" % (kind, show(path), " -> " + show(target, scratch) if target else "")
              for path, kind, target in sorted(disk)]
    return lines


def differences(expected, actual, expected_disk, actual_disk, start_rel):
    """Short names of what differs, for the summary."""
    if "failure" in actual:
        kinds = [actual["failure"].split(" after")[0].split(",")[0]]
    else:
        kinds = [k for k in ("exit",) + COUNTS + ("message",) if expected[k] != actual[k]]
        ef, af = expected["findings"], actual["findings"]
        if [f[1] for f in ef] != [f[1] for f in af]:
            kinds.append("finding paths")
        if [f[0] for f in ef] != [f[0] for f in af]:
            kinds.append("threats")
        if [f[2] for f in ef] != [f[2] for f in af]:
            kinds.append("present flags")
        if expected["records"] != actual["records"]:
            kinds.append("records")
    inside = lambda entry: entry[0].startswith(start_rel + b"/")
    missing, extra = set(expected_disk) - set(actual_disk), set(actual_disk) - set(expected_disk)
    if any(not inside(e) for e in missing):
        kinds.append("DELETED OUTSIDE START")
    if any(inside(e) for e in missing):
        kinds.append("deleted inside start")
    if extra:
        kinds.append("left on disk")
    return kinds


def describe_tree(node, indent="  ", limit=150):
    lines = []

    def walk(n, depth):
        for name, child in n.entries:
            if len(lines) >= limit:
                return
            label = show(name) + ("/" if isinstance(child, Dir) else "")
            if isinstance(child, Leaf) and child.kind != "file":
                label += " (%s%s)" % (child.kind, " -> " + show(child.target) if child.target else "")
            lines.append(indent * (depth + 1) + label)
            if isinstance(child, Dir):
                walk(child, depth + 1)

    walk(node, 0)
    return lines + ([indent + "..."] if len(lines) >= limit else [])


# ---------------------------------------------------------------------------
# One case: build, scan four ways, compare.
# ---------------------------------------------------------------------------

RUNS = [(True, False), (False, False), (True, True), (False, True)]  # (subfolders, remove)

# One run of a case that did not go as the model said; `what` names the parts that differ.
Difference = collections.namedtuple("Difference", "subfolders remove start_arg scratch what diff tree")


class Session:
    def __init__(self, args):
        self.args = args
        self.folder = tempfile.mkdtemp(prefix="ombrix-diff-", dir=args.tmp).encode()
        self.store = tempfile.mkdtemp(prefix="ombrix-diff-store-", dir=args.tmp).encode()
        store = self.store
        self.signature_path = os.path.join(store, b"signatures.ini")
        self.env = dict(os.environ, OMBRIX_SETTINGS=os.fsdecode(os.path.join(store, b"settings.db")),
                        HOME=os.fsdecode(store), XDG_CONFIG_HOME=os.fsdecode(store))
        self.runs = 0

    def new_scratch(self, case):
        scratch = tempfile.mkdtemp(dir=self.folder)
        fd = os.open(scratch, os.O_RDONLY | os.O_DIRECTORY)
        try:
            build(fd, case.tree, scratch)
        finally:
            os.close(fd)
        return scratch

    def check_case(self, case):
        """The reports of every run of the case that differs from the model (empty when none)."""
        with open(self.signature_path, "wb") as f:
            f.write(case.signatures)
        signatures = parse_signatures(case.signatures)
        reports = []
        scratch = None
        for subfolders, remove in RUNS:
            # A removing run gets a tree of its own; the looking runs share one.
            if scratch is None or remove:
                if scratch is not None:
                    self.discard(scratch)
                scratch = self.new_scratch(case)
            before = snapshot_path(scratch)
            start_node = find_node(before, case.start_components)
            start_arg = case.start_arg(scratch)
            expected = model_scan(start_arg, start_node, signatures, subfolders, remove)
            expected_disk = flatten(before)
            self.runs += 1
            key = "Diff\\run%d" % self.runs
            threads = case.threads[(subfolders, remove)]
            actual = run_scan(self.args, self.env, self.signature_path, scratch, case,
                              start_arg, subfolders, remove, key, self.args.timeout, threads)
            actual_disk = flatten(snapshot_path(scratch))
            if not remove:
                reports += self.compare_single_threaded(case, scratch, start_arg, subfolders, actual)
            exp_lines = render(expected, expected_disk, scratch)
            act_lines = render(actual, actual_disk, scratch)
            if exp_lines != act_lines:
                start_rel = b"/".join(case.start_components)
                what = differences(expected, actual, expected_disk, actual_disk, start_rel)
                diff = difflib.unified_diff(exp_lines, act_lines, "model", "ombrix-scan", n=1, lineterm="")
                reports.append(Difference(subfolders, remove, start_arg, scratch, what, list(diff), before))
        self.discard(scratch)
        return reports

    def compare_single_threaded(self, case, scratch, start_arg, subfolders, threaded):
        """Reading folders ahead on helper threads changes nothing: the walk on one
        thread gives the very same output bytes and recorded values."""
        self.runs += 1
        key = "Diff\\run%d" % self.runs
        single = run_scan(self.args, self.env, self.signature_path, scratch, case,
                          start_arg, subfolders, False, key, self.args.timeout, 0)
        same = lambda o: (o.get("failure"), o.get("exit"), o.get("output"), o.get("records"))
        if same(single) == same(threaded):
            return []
        lines = [show(o.get("output") or o.get("failure", "").encode(), scratch) for o in (single, threaded)]
        diff = ["--threads 0: " + lines[0], "--threads %s: " % case.threads[(subfolders, False)] + lines[1]]
        return [Difference(subfolders, False, start_arg, scratch, ["threads"], ["", ""] + diff, None)]

    def discard(self, scratch):
        if not self.args.keep:
            shutil.rmtree(scratch)

    def close(self):
        shutil.rmtree(self.store)
        if self.args.keep:
            print("kept the scratch folder", os.fsdecode(self.folder))
        else:
            shutil.rmtree(self.folder)


def print_report(case, reports, args):
    for r in reports:
        print("=" * 78)
        print("case %s differs (kinds: %s; %s, %s): %s" % (
            case.id, ",".join(case.kinds) or "plain",
            "subfolders" if r.subfolders else "--no-subfolders",
            "--remove" if r.remove else "no removal", "; ".join(r.what)))
        print("rerun: %s %s %s --case %s --kinds %s" % (
            sys.argv[0], args.scan, args.settings, case.id, args.kinds))
        print("start folder argument:", show(r.start_arg, r.scratch))
        print("signature file:", show(case.signatures))
        if args.verbose and r.tree is not None:
            print("tree (scratch folder, in listing order):")
            print("\n".join(describe_tree(r.tree)))
        # The first two lines only name the sides: model, then ombrix-scan.
        diff = r.diff[2:]
        print("\n".join(diff if len(diff) <= args.diff_lines else diff[:args.diff_lines] + ["..."]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("scan", help="the ombrix-scan program")
    parser.add_argument("settings", help="the ombrix-settings program")
    parser.add_argument("--cases", type=int, default=int(os.environ.get("OMBRIX_DIFF_CASES", 300)))
    parser.add_argument("--seed", default=os.environ.get("OMBRIX_DIFF_SEED", str(int(time.time()))))
    parser.add_argument("--case", action="append", default=[], help="run only this case id (SEED:N)")
    parser.add_argument("--kinds", default="all",
                        help="all (a random mix per case), plain, or a comma list of: " + ", ".join(HOSTILE_KINDS))
    parser.add_argument("--timeout", type=float, default=5.0, help="seconds one scan may take")
    parser.add_argument("--budget", type=float, default=float(os.environ.get("OMBRIX_DIFF_BUDGET", 90)),
                        help="seconds after which no further case starts (0: no limit)")
    parser.add_argument("--max-failures", type=int, default=25, help="stop after so many differing cases (0: never)")
    parser.add_argument("--diff-lines", type=int, default=80)
    parser.add_argument("--verbose", action="store_true", help="also print each differing tree")
    parser.add_argument("--keep", action="store_true", help="keep every tree after its scan (for one --case)")
    # Thousands of small trees and a store that syncs every write: on a RAM disk the run
    # takes a fraction of the time it takes on a journalling disk.
    shm = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
    parser.add_argument("--tmp", default=shm, help="folder for the scratch trees and the store "
                        "(default: /dev/shm when writable, else the system's temporary folder)")
    args = parser.parse_args()
    # Scans run in the start folder's parent, so the programs are named absolutely.
    args.scan, args.settings = os.path.abspath(args.scan), os.path.abspath(args.settings)
    if args.kinds not in ("all", "plain"):
        for kind in args.kinds.split(","):
            if kind not in HOSTILE_KINDS:
                parser.error("unknown kind " + kind)

    ids = args.case or ["%s:%d" % (args.seed, i) for i in range(args.cases)]
    print("seed %s, %d cases, kinds %s" % (args.seed, len(ids), args.kinds), flush=True)
    began = time.monotonic()
    session = Session(args)
    differing = []
    tally = {}
    try:
        for done, case_id in enumerate(ids):
            # A slow machine runs fewer cases rather than overrun the test suite's time.
            if args.budget and time.monotonic() - began > args.budget:
                print("time budget of %g s used up after %d of %d cases" % (args.budget, done, len(ids)))
                break
            case = Case(case_id, args.kinds)
            reports = session.check_case(case)
            if reports:
                differing.append(case_id)
                print_report(case, reports, args)
                for report in reports:
                    for what in report.what:
                        tally[what] = tally.get(what, 0) + 1
                sys.stdout.flush()
                if args.max_failures and len(differing) >= args.max_failures:
                    print("stopped after %d differing cases" % len(differing))
                    break
    finally:
        session.close()
    elapsed = time.monotonic() - began
    print("%d scans in %.1f s; %d differing cases%s" % (
        session.runs, elapsed, len(differing), (": " + " ".join(differing)) if differing else ""))
    if tally:
        print("differences by kind (runs):", ", ".join("%s %d" % kv for kv in sorted(tally.items())))
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
