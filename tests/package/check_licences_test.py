"""The licence check finds each fault it is there for, in a folder and in the zips made of
it (zip's default follows links and leaves a dangling one out; -y keeps links as links), and
passes a package whose licences are all there."""

import os
import subprocess
import sys
import tempfile

from check_licences import package_faults


def package(root, broken):
    licences = os.path.join(root, "game", "licences")
    os.makedirs(os.path.join(licences, "expat", "expat"))
    with open(os.path.join(licences, "expat", "expat", "COPYING"), "w") as f:
        f.write("licence text\n")
    if broken:
        os.makedirs(os.path.join(licences, "glib", "empty-folder"))
        os.symlink("LICENSES/LGPL-2.1-or-later.txt", os.path.join(licences, "glib", "COPYING"))
        open(os.path.join(licences, "expat", "EMPTY"), "w").close()
    for name, flags in (("followed.zip", "-qr"), ("kept.zip", "-qry")):
        subprocess.run(["zip", flags, os.path.join(root, name), "game"], cwd=root, check=True)
    return [os.path.join(root, p) for p in ("game", "followed.zip", "kept.zip")]


with tempfile.TemporaryDirectory() as good, tempfile.TemporaryDirectory() as bad:
    failed = [f"{p}: {package_faults(p)}" for p in package(good, False) if package_faults(p)]
    for path in package(bad, True):
        faults = " ".join(package_faults(path))
        wanted = ["glib/empty-folder holds no file", "expat/EMPTY is empty"]
        wanted += [] if path.endswith("followed.zip") else ["glib/COPYING is a link"]
        wanted += ["licences/glib holds no file"] if path.endswith("followed.zip") else []
        failed += [f"{path}: '{w}' not found in {faults}" for w in wanted if w not in faults]
for failure in failed:
    print(f"FAILED: {failure}", file=sys.stderr)
sys.exit(1 if failed else 0)
