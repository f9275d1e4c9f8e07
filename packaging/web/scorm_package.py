"""Packs the built site as a SCORM 1.2 package that a course platform (Moodle, Canvas, Open edX
and others) takes as one activity: the site's files with imsmanifest.xml at the root, one SCO
that launches index.html. The page itself finds the platform's run-time (scorm.js).
Usage: scorm_package.py SITE_FOLDER OUTPUT_ZIP"""

import os
import sys
import zipfile
from xml.sax.saxutils import quoteattr

MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest identifier="orbilux-rush" version="1.0"
          xmlns="http://www.imsproject.org/xsd/imscp_rootv1p1p2"
          xmlns:adlcp="http://www.adlnet.org/xsd/adlcp_rootv1p2"
          xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"
          xsi:schemaLocation="http://www.imsproject.org/xsd/imscp_rootv1p1p2 imscp_rootv1p1p2.xsd http://www.imsglobal.org/xsd/imsmd_rootv1p2p1 imsmd_rootv1p2p1.xsd http://www.adlnet.org/xsd/adlcp_rootv1p2 adlcp_rootv1p2.xsd">
  <metadata>
    <schema>ADL SCORM</schema>
    <schemaversion>1.2</schemaversion>
  </metadata>
  <organizations default="orbilux-rush-course">
    <organization identifier="orbilux-rush-course">
      <title>Orbilux Rush</title>
      <item identifier="orbilux-rush-game" identifierref="orbilux-rush-page" isvisible="true">
        <title>Orbilux Rush: catch boosters, connect everything, and answer the quiz</title>
      </item>
    </organization>
  </organizations>
  <resources>
    <resource identifier="orbilux-rush-page" type="webcontent" adlcp:scormtype="sco" href="index.html">
{files}
    </resource>
  </resources>
</manifest>
"""

# Fixed times in the zip, so the same site always packs into the same bytes.
ZIP_TIME = (2026, 1, 1, 0, 0, 0)


def entry(name):
    info = zipfile.ZipInfo(name, ZIP_TIME)
    info.external_attr = 0o644 << 16  # readable by the platform's web server once unpacked
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def site_files(folder):
    found = []
    for root, _, names in os.walk(folder):
        for name in names:
            found.append(os.path.relpath(os.path.join(root, name), folder).replace(os.sep, "/"))
    return sorted(found)


def main(folder, output):
    files = site_files(folder)
    if "index.html" not in files:
        sys.exit(f"{folder} holds no index.html: build the site first")
    listed = "\n".join(f"      <file href={quoteattr(name)}/>" for name in files)
    manifest = MANIFEST.format(files=listed)
    with zipfile.ZipFile(output + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as package:
        package.writestr(entry("imsmanifest.xml"), manifest)
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                package.writestr(entry(name), f.read())
    os.replace(output + ".part", output)


if __name__ == "__main__":
    main(*sys.argv[1:])
