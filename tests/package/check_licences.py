"""Every licence a package carries can be read by whoever opens it: each licences folder in
the packages given (a folder as installed or served, or a zip as published) holds files only,
no link (a zip, an installer or a web server copies what a link names, or nothing), no empty
file, and no folder without a file in it.
Usage: check_licences.py PACKAGE...   (each a folder or a .zip); exit status 1 on a fault."""

import os
import stat
import sys
import zipfile

FILE, FOLDER, LINK = "file", "folder", "link"


def folder_entries(root):
    """(path, kind, size) of everything under root, paths relative to it with '/' between."""
    for here, folders, files in os.walk(root):
        for name in folders + files:
            path = os.path.join(here, name)
            relative = os.path.relpath(path, root).replace(os.sep, "/")
            if os.path.islink(path):
                yield relative, LINK, 0
            elif os.path.isdir(path):
                yield relative, FOLDER, 0
            else:
                with open(path, "rb") as f:  # readable, not merely listed
                    yield relative, FILE, len(f.read())


def zip_entries(path):
    with zipfile.ZipFile(path) as archive:
        for info in archive.infolist():
            name = info.filename.rstrip("/")
            if stat.S_ISLNK(info.external_attr >> 16):
                yield name, LINK, 0
            elif info.is_dir():
                yield name, FOLDER, 0
            else:
                yield name, FILE, len(archive.read(info))
            # A zip may leave out the entries of the folders its files are in.
            parts = name.split("/")
            for depth in range(1, len(parts)):
                yield "/".join(parts[:depth]), FOLDER, 0


def licence_faults(entries):
    """What is wrong with the licences folders among a package's entries."""
    entries = dict((path, (kind, size)) for path, kind, size in entries)
    roots = [p for p, (kind, _) in entries.items() if kind == FOLDER and p.rsplit("/", 1)[-1] == "licences"]
    if not roots:
        return ["no licences folder"]
    faults = []
    for root in roots:
        inside = {p: e for p, e in entries.items() if p == root or p.startswith(root + "/")}
        for path, (kind, size) in sorted(inside.items()):
            if kind == LINK:
                faults.append(f"{path} is a link, not the licence itself")
            elif kind == FILE and size == 0:
                faults.append(f"{path} is empty")
            elif kind == FOLDER and not any(k == FILE and p.startswith(path + "/") for p, (k, _) in inside.items()):
                faults.append(f"{path} holds no file")
    return faults


def package_faults(package):
    entries = zip_entries(package) if zipfile.is_zipfile(package) else folder_entries(package)
    return [f"{package}: {fault}" for fault in licence_faults(entries)]


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    faults = [fault for package in sys.argv[1:] for fault in package_faults(package)]
    for fault in faults:
        print(f"FAILED: {fault}", file=sys.stderr)
    sys.exit(1 if faults else 0)
