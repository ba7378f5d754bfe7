#!/usr/bin/python3
# A network share whose server stopped answering, as a FUSE file system:
# its top folder still lists (five pictures and a subfolder, as a cache
# would), but listing the subfolder and opening any file never return.
# Usage: dead_share.py MOUNTPOINT  (runs in the foreground until unmounted)
import errno
import stat
import sys
import threading
import time

from fusepy import FUSE, FuseOSError, Operations

PICTURES = [f"photo{i}.jpg" for i in range(1, 6)]
NEVER = threading.Event()


class DeadShare(Operations):
    def getattr(self, path, fh=None):
        now = time.time()
        if path in ("/", "/sub"):
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2, "st_mtime": now, "st_ctime": now, "st_atime": now}
        if path.lstrip("/") in PICTURES:
            return {"st_mode": stat.S_IFREG | 0o644, "st_nlink": 1, "st_size": 4096, "st_mtime": now,
                    "st_ctime": now, "st_atime": now}
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        if path == "/":
            return [".", "..", "sub"] + PICTURES
        NEVER.wait()  # the server never answers

    def open(self, path, flags):
        NEVER.wait()

    def opendir(self, path):
        if path != "/":
            NEVER.wait()
        return 0


if __name__ == "__main__":
    FUSE(DeadShare(), sys.argv[1], foreground=True, nothreads=False, ro=True, allow_other=False)
