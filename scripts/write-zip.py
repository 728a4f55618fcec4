#!/usr/bin/python3
"""Writes a zip that depends only on the files' names and bytes: usage: ZIP EPOCH FOLDER.

Every file of FOLDER (no subfolders) goes in, in the order of its name's UTF-8 bytes, with
the one time EPOCH (UTC), the same attributes and no extra fields. Names that are not ASCII
are stored as UTF-8 and flagged so, which Windows' own zip folders read.
"""
import os
import sys
import time
import zipfile

out, epoch, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
stamp = time.gmtime(epoch)[:6]
names = sorted(os.listdir(folder), key=lambda n: n.encode("utf-8"))
with zipfile.ZipFile(out, "w") as archive:
    for name in names:
        entry = zipfile.ZipInfo(name, date_time=stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        # Made on Unix, read and write for its owner: Info-ZIP's unzip takes the names of
        # an archive made on MS-DOS for its code page whatever their UTF-8 flag says.
        entry.create_system = 3
        entry.external_attr = 0o100644 << 16
        with open(os.path.join(folder, name), "rb") as f:
            archive.writestr(entry, f.read(), compresslevel=9)
