#!/usr/bin/env python3
"""Builds a picture tree for the first-picture benchmark: FOLDERS folders
(tree/dNNNN/) of FILES small JPEGs each (imgNNNNN.jpg), every file a hard
link to one of the source JPEGs given, taken in turn. Reuses a complete tree
left by an earlier run (a marker file records its shape).

usage: make_tree.py TREE FOLDERS FILES SOURCE.jpg...
"""
import os
import shutil
import sys


def main():
    tree, folders, files, sources = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4:]
    store = tree.rstrip("/") + ".sources"
    marker = os.path.join(store, "complete")
    shape = f"{folders} {files} {len(sources)}\n"
    if os.path.exists(marker) and open(marker).read() == shape:
        return
    shutil.rmtree(tree, ignore_errors=True)
    os.makedirs(tree)
    # Copies beside the tree (on its file system, which links need), not in
    # it: they are not part of what is walked.
    shutil.rmtree(store, ignore_errors=True)
    os.makedirs(store)
    own = []
    for i, source in enumerate(sources):
        own.append(os.path.join(store, f"source{i}.jpg"))
        shutil.copyfile(source, own[-1])
    n = 0
    for folder in range(folders):
        path = os.path.join(tree, f"d{folder:04d}")
        os.mkdir(path)
        for _ in range(files):
            os.link(own[n % len(own)], os.path.join(path, f"img{n:07d}.jpg"))
            n += 1
    with open(marker, "w") as f:
        f.write(shape)


if __name__ == "__main__":
    main()
