#!/usr/bin/env python3
"""Writes a folder of hostile picture files for the soak benchmark.

Usage: bench/make_hostile_corpus.py OUT_DIR

The same files on every run (fixed seeds): valid pictures of each format
(JPEG, PNG, GIF, BMP, WMF, HEIC, AVIF, WebP),
truncated, empty and random-byte files, forged headers (65,500 x 65,500,
2^31-1 x 1, 0 x 0), fuzz-mutated valid pictures, pictures of other formats
saved under each shown extension, HEIC, AVIF and WebP pictures saved under
the other formats' extensions, large valid pictures and small files that
decode to large ones, links to /dev/zero and to a FIFO, an unreadable file and
an unreadable folder, and doomed.jpg, which the soak deletes after the walk.
Needs Python 3, ImageMagick's convert, cjpeg (libjpeg-turbo-progs), heif-enc
(libheif-examples) and cwebp (webp); takes about 20 s and 60 MB.
"""
import os
import random
import shutil
import stat
import struct
import subprocess
import sys
import zlib

EXTENSIONS = [".jpg", ".jpeg", ".png", ".gif", ".bmp", ".wmf", ".heic", ".avif", ".webp"]
NEW_FORMATS = [".heic", ".avif", ".webp"]
SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def convert(*args):
    subprocess.run(["convert", *args], check=True, stdout=subprocess.DEVNULL)


def encode(command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def heif_with_size(data, width, height):
    """A HEIF or AVIF file whose ispe properties all claim width x height."""
    data = bytearray(data)
    at = data.find(b"ispe")
    while at > 0:
        data[at + 8 : at + 16] = struct.pack(">II", width, height)
        at = data.find(b"ispe", at + 4)
    return bytes(data)


def webp_vp8x(width, height, flags=0x10):
    """A WebP extended header claiming a width x height canvas, and little else."""
    vp8x = b"VP8X" + struct.pack("<I", 10) + bytes([flags, 0, 0, 0]) + (width - 1).to_bytes(3, "little") + (height - 1).to_bytes(3, "little")
    body = b"WEBP" + vp8x + b"VP8L" + struct.pack("<I", 5) + b"\x2f" + struct.pack("<I", (width - 1) & 0x3FFF | ((height - 1) & 0x3FFF) << 14) + b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


# --- formats written by hand ------------------------------------------------


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_file(width, height, colour_type, bit_depth, idat, interlace=0, palette=None):
    out = b"\x89PNG\r\n\x1a\n"
    out += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, interlace))
    if palette:
        out += png_chunk(b"PLTE", palette)
    return out + png_chunk(b"IDAT", idat) + png_chunk(b"IEND", b"")


def adam7_rows(width, height):
    """Rows of each Adam7 pass: (pass row count, pass width)."""
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    for x0, y0, dx, dy in passes:
        pw = (width - x0 + dx - 1) // dx if width > x0 else 0
        ph = (height - y0 + dy - 1) // dy if height > y0 else 0
        if pw and ph:
            yield ph, pw


def flat_palette_png(width, height, rgb, interlace):
    """A one-colour palette PNG: a few kB on disk, width x height pixels decoded."""
    z = zlib.compressobj(9)
    data = []
    rows = adam7_rows(width, height) if interlace else [(height, width)]
    for count, row_width in rows:
        row = bytes(1 + row_width)  # filter 0, palette index 0
        for _ in range(count):
            data.append(z.compress(row))
    data.append(z.flush())
    return png_file(width, height, 3, 8, b"".join(data), interlace, palette=bytes(rgb))


def striped_rgb_png(path, width, height):
    """A large real RGB PNG (diagonal colour bands), written row by row."""
    z = zlib.compressobj(1)
    band = bytes(int(127 + 120 * ((x // 97) % 3 == c)) for x in range(width + height) for c in range(3))
    with open(path, "wb") as f:
        header = png_file(width, height, 2, 8, b"")
        f.write(header[: header.index(b"IDAT") - 4])  # signature and IHDR
        chunks = []
        for y in range(height):
            start = 3 * ((y * 3) % height)
            chunks.append(z.compress(b"\x00" + band[start : start + 3 * width]))
            if len(chunks) >= 256:
                f.write(png_chunk(b"IDAT", b"".join(chunks)))
                chunks = []
        chunks.append(z.flush())
        f.write(png_chunk(b"IDAT", b"".join(chunks)))
        f.write(png_chunk(b"IEND", b""))


def gif_file(screen_width, screen_height, frame_width=1, frame_height=1):
    """A GIF whose logical screen is screen_width x screen_height with a tiny frame."""
    out = b"GIF89a" + struct.pack("<HHBBB", screen_width, screen_height, 0x80, 0, 0)
    out += b"\x20\xa0\x40\xe0\xc0\x20"  # two colours
    out += b"," + struct.pack("<HHHHB", 0, 0, frame_width, frame_height, 0)
    # LZW, minimum code size 2: clear (4), pixel 0, end (5) as 3-bit codes.
    out += b"\x02\x02\x44\x01\x00"
    return out + b";"


def bmp_header(width, height, bits=24, compression=0, data_size=0, colours=0):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, data_size, 2835, 2835, colours, 0)
    offset = 14 + len(info) + 4 * colours
    return b"BM" + struct.pack("<IHHI", offset + data_size, 0, 0, offset) + info


def rle8_bmp(width, height):
    """An RLE8 BMP of one colour: about 60 bytes a row, width x height decoded."""
    row = b""
    left = width
    while left:
        run = min(left, 255)
        row += bytes([run, 0])
        left -= run
    data = (row + b"\x00\x00") * (height - 1) + row + b"\x00\x01"
    palette = b"\x30\x90\xd0\x00" + b"\x00" * 1020
    return bmp_header(width, height, 8, 1, len(data), 256) + palette + data


def wmf_file(left, top, right, bottom, records=None):
    """A placeable WMF: a coloured rectangle and an ellipse by default."""
    words = lambda *w: struct.pack("<" + "H" * len(w), *(v & 0xFFFF for v in w))  # 16 bits, wrapping
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, 1440, 0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= struct.unpack("<H", placeable[i : i + 2])[0]
    placeable += struct.pack("<H", checksum)
    if records is None:
        w, h = right - left, bottom - top
        records = [
            words(5, 0, 0x020B, top, left),  # SETWINDOWORG
            words(5, 0, 0x020C, h, w),  # SETWINDOWEXT
            words(7, 0, 0x02FC, 0, 0x40C0, 0x0020, 0),  # CREATEBRUSHINDIRECT solid
            words(4, 0, 0x012D, 0),  # SELECTOBJECT
            words(7, 0, 0x041B, bottom, right, top, left),  # RECTANGLE
            words(7, 0, 0x0418, bottom - h // 4, right - w // 4, top + h // 4, left + w // 4),  # ELLIPSE
            words(3, 0, 0x0000),  # EOF
        ]
    body = b"".join(records)
    longest = max(len(r) for r in records) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, 1, longest, 0)
    return placeable + header + body


# --- the corpus -------------------------------------------------------------


def valid_sources(work):
    """Small valid pictures of the five formats; returns {name: bytes}."""
    samples = sorted(f for f in os.listdir(os.path.join(SOURCE_ROOT, "samples")) if f.endswith(".jpg"))
    photo = os.path.join(SOURCE_ROOT, "samples", samples[0])
    out = {}
    for name, options in [
        ("photo.jpg", ["-resize", "640x480", "-quality", "85"]),
        ("photo_progressive.jpg", ["-resize", "640x480", "-interlace", "JPEG", "-quality", "85"]),
        ("photo.png", ["-resize", "320x240"]),
        ("photo_interlaced.png", ["-resize", "320x240", "-interlace", "PNG"]),
        ("photo.gif", ["-resize", "320x240"]),
        ("photo.bmp", ["-resize", "320x240", "-type", "TrueColor"]),
    ]:
        target = os.path.join(work, name)
        convert(photo, "-strip", "-define", "png:exclude-chunks=date,time", *options, target)
        with open(target, "rb") as f:
            out[name] = f.read()
    out["drawing.wmf"] = wmf_file(0, 0, 4000, 3000)
    png = os.path.join(work, "photo_rgb.png")
    convert(photo, "-strip", "-resize", "640x480", "PNG24:" + png)
    for name, command in [
        ("photo.heic", ["heif-enc", "-q", "80", "-o", os.path.join(work, "photo.heic"), png]),
        ("photo.avif", ["heif-enc", "-A", "-q", "60", "-o", os.path.join(work, "photo.avif"), png]),
        ("photo.webp", ["cwebp", "-quiet", "-q", "80", png, "-o", os.path.join(work, "photo.webp")]),
        ("photo_lossless.webp", ["cwebp", "-quiet", "-lossless", png, "-o", os.path.join(work, "photo_lossless.webp")]),
    ]:
        encode(command)
        out[name] = read(os.path.join(work, name))
    return out


def forged_headers(heif_sources):
    """Headers that claim absurd sizes, each followed by a little filler."""
    sizes = {"huge": (65500, 65500), "wide": (2**31 - 1, 1), "zero": (0, 0)}
    out = {}
    for label, (w, h) in sizes.items():
        w16, h16 = min(w, 65535), min(h, 65535)
        sof = b"\xff\xc0" + struct.pack(">HBHHB", 17, 8, h16, w16, 3) + b"\x01\x22\x00\x02\x11\x01\x03\x11\x01"
        out[f"forged_{label}.jpg"] = b"\xff\xd8" + sof + b"\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00" + bytes(64) + b"\xff\xd9"
        out[f"forged_{label}_progressive.jpg"] = out[f"forged_{label}.jpg"].replace(b"\xff\xc0", b"\xff\xc2", 1)
        out[f"forged_{label}.png"] = png_file(w, h, 2, 8, zlib.compress(bytes(64)))
        out[f"forged_{label}.gif"] = gif_file(w16, h16)
        out[f"forged_{label}.bmp"] = bmp_header(w, h, 24, 0, 64) + bytes(64)
        out[f"forged_{label}_topdown.bmp"] = bmp_header(w, -h if h else -(2**31), 24, 0, 64) + bytes(64)
        for ext in [".heic", ".avif"]:
            out[f"forged_{label}{ext}"] = heif_with_size(heif_sources[ext], w, h)
    out["forged_huge.webp"] = webp_vp8x(1 << 24, 1 << 24)
    out["forged_wide.webp"] = webp_vp8x(1 << 24, 1)
    out["forged_huge_lossless.webp"] = webp_vp8x(16384, 16384, 0)[:12] + webp_vp8x(16384, 16384, 0)[30:]
    out["forged_huge.wmf"] = wmf_file(-32768, -32768, 32767, 32767)
    out["forged_zero.wmf"] = wmf_file(0, 0, 0, 0)
    out["forged_records.wmf"] = wmf_file(0, 0, 100, 100, [struct.pack("<Ih", 0x7FFFFFFF, 0x0B41) + bytes(16)])
    return out


def memory_bombs():
    """Small files that decode to about the largest picture the budget allows."""
    return {
        "bomb_interlaced_7070.png": flat_palette_png(7070, 7070, (200, 60, 40), interlace=1),
        "bomb_flat_7070.png": flat_palette_png(7070, 7070, (40, 160, 60), interlace=0),
        "bomb_flat_20000.png": flat_palette_png(20000, 20000, (60, 60, 200), interlace=0),
        "bomb_screen_7070.gif": gif_file(7070, 7070),
        "bomb_rle_7070.bmp": rle8_bmp(7070, 7070),
        # Pictures whose rows, not their pixel count, are the danger.
        "bomb_wide_50000000x1.bmp": bmp_header(50_000_000, 1, 32, 0, 64) + bytes(64),
        "bomb_wide_1000000x1.png": flat_palette_png(1_000_000, 1, (200, 200, 40), interlace=0),
        "bomb_wide_1000000x500.png": flat_palette_png(1_000_000, 500, (40, 200, 200), interlace=0),
        "bomb_frame_7000_on_1.gif": gif_file(1, 1, 7000, 7000),
    }


def mutate(data, rng):
    data = bytearray(data)
    kind = rng.randrange(5)
    if kind == 0:  # flip bits
        for _ in range(rng.randint(1, 20)):
            i = rng.randrange(len(data))
            data[i] ^= 1 << rng.randrange(8)
    elif kind == 1:  # overwrite bytes near the start, where the headers are
        for _ in range(rng.randint(1, 8)):
            data[rng.randrange(min(len(data), 512))] = rng.choice([0, 0xFF, 0x7F, 0x80, rng.randrange(256)])
    elif kind == 2:  # a run of random bytes
        i = rng.randrange(len(data))
        n = rng.randint(1, 256)
        data[i : i + n] = rng.randbytes(n)
    elif kind == 3:  # duplicate a slice
        i = rng.randrange(len(data))
        j = min(len(data), i + rng.randint(1, 4096))
        data[i:i] = data[i:j]
    else:  # cut a slice out
        i = rng.randrange(len(data))
        del data[i : i + rng.randint(1, 4096)]
    return bytes(data)


def foreign_formats(work):
    """Pictures of formats the program does not show; returns {format: bytes}."""
    base = os.path.join(work, "foreign.png")
    convert("-size", "64x48", "gradient:teal-gold", "-strip", base)
    out = {}
    for fmt in ["tiff", "tga", "ico", "pnm", "ppm", "xpm", "pcx", "sgi", "sun", "psd", "xwd", "hdr", "miff", "dds", "xbm"]:
        target = os.path.join(work, "foreign." + fmt)
        try:
            convert(base, target)
        except subprocess.CalledProcessError:
            continue
        with open(target, "rb") as f:
            out[fmt] = f.read()
    out["svg"] = b'<svg xmlns="http://www.w3.org/2000/svg" width="100000" height="100000"><rect width="9" height="9"/></svg>'
    out["text"] = b"not a picture at all\n" * 10
    return out


def big_jpeg(path, width, height, progressive=False, full_colour=False):
    """A large smooth JPEG, streamed through cjpeg (ImageMagick would need a
    disk-backed pixel cache for it); full_colour: chroma at full size (4:4:4)."""
    rows = [bytes(int(128 + 100 * ((x * (k + 3) // 211 + k) % 5 - 2) / 2) & 0xFF for x in range(width * 3)) for k in range(16)]
    command = ["cjpeg", "-quality", "80", "-outfile", path]
    if progressive:
        command.insert(1, "-progressive")
    if full_colour:
        command[1:1] = ["-sample", "1x1"]
    process = subprocess.Popen(command, stdin=subprocess.PIPE)
    process.stdin.write(b"P6\n%d %d\n255\n" % (width, height))
    for y in range(height):
        process.stdin.write(rows[(y // 50) % 16])
    process.stdin.close()
    if process.wait() != 0:
        raise SystemExit("cjpeg failed")


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    out = os.path.abspath(sys.argv[1])
    if os.path.exists(out):
        for root, dirs, _ in os.walk(out):  # unreadable folders of an earlier run
            for d in dirs:
                os.chmod(os.path.join(root, d), 0o755)
        shutil.rmtree(out)
    work = os.path.join(out, ".work")
    os.makedirs(work)
    rng = random.Random(20240601)

    sources = valid_sources(work)
    for name, data in sources.items():
        write(os.path.join(out, "valid", name), data)

    for name, data in sources.items():
        stem, ext = os.path.splitext(name)
        for cut in [1, 2, 3, 10, 30, 100, len(data) // 4, len(data) // 2, len(data) - 2]:
            write(os.path.join(out, "truncated", f"{stem}_{cut}{ext}"), data[:cut])

    for ext in EXTENSIONS:
        write(os.path.join(out, "empty", "empty" + ext), b"")
        for n in range(3):
            write(os.path.join(out, "random", f"random{n}{ext}"), rng.randbytes(rng.choice([16, 300, 70000])))
        # The right magic bytes and nothing sensible after them.
        for magic_name, magic in [("jpeg", b"\xff\xd8\xff"), ("png", b"\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR"),
                                  ("gif", b"GIF89a"), ("bmp", b"BM"), ("wmf", b"\xd7\xcd\xc6\x9a"),
                                  ("heic", b"\0\0\0\x18ftypheic\0\0\0\0mif1heic"),
                                  ("avif", b"\0\0\0\x18ftypavif\0\0\0\0mif1avif"),
                                  ("webp", b"RIFF\xff\xff\xff\x7fWEBPVP8X")]:
            write(os.path.join(out, "random", f"magic_{magic_name}{ext}"), magic + rng.randbytes(200))

    heif_sources = {".heic": sources["photo.heic"], ".avif": sources["photo.avif"]}
    for name, data in forged_headers(heif_sources).items():
        write(os.path.join(out, "forged", name), data)

    for name, data in sorted(sources.items()):
        stem, ext = os.path.splitext(name)
        for n in range(20):
            write(os.path.join(out, "fuzz", f"{stem}_{n:02d}{ext}"), mutate(data, rng))

    for fmt, data in foreign_formats(work).items():
        for ext in EXTENSIONS:
            write(os.path.join(out, "foreign", f"{fmt}_as{ext}"), data)
    # Mislabelled: the new formats under the other extensions (their bytes decide).
    for name in ["photo.heic", "photo.avif", "photo.webp"]:
        stem, own = os.path.splitext(name)
        for ext in EXTENSIONS:
            if ext != own:
                write(os.path.join(out, "mislabelled", f"{stem}_{own[1:]}_as{ext}"), sources[name])

    big = os.path.join(out, "big")
    os.makedirs(big)
    big_jpeg(os.path.join(big, "photo_12000x8000.jpg"), 12000, 8000)
    big_jpeg(os.path.join(big, "progressive_7000x7000.jpg"), 7000, 7000, progressive=True)
    big_jpeg(os.path.join(big, "progressive_444_7000x7000.jpg"), 7000, 7000, progressive=True, full_colour=True)
    striped_rgb_png(os.path.join(big, "stripes_8000x6000.png"), 8000, 6000)
    for name, data in memory_bombs().items():
        write(os.path.join(big, name), data)
    # The same interlaced picture, as a real photo-sized file.
    convert(os.path.join(work, "photo.png"), "-resize", "4000x3000!", "-interlace", "PNG", "-strip",
            "-define", "png:exclude-chunks=date,time", os.path.join(big, "interlaced_4000x3000.png"))
    # Hard links (no disk space), so that the heavy pictures come up often.
    for name in sorted(os.listdir(big)):
        for n in range(1, 4):
            os.makedirs(os.path.join(big, f"again{n}"), exist_ok=True)
            os.link(os.path.join(big, name), os.path.join(big, f"again{n}", name))

    special = os.path.join(out, "special")
    os.makedirs(special)
    os.symlink("/dev/zero", os.path.join(special, "zero.jpg"))
    os.mkfifo(os.path.join(special, "fifo"))
    os.symlink("fifo", os.path.join(special, "fifo.jpg"))
    os.mkfifo(os.path.join(special, "pipe.png"))
    os.symlink("missing.jpg", os.path.join(special, "dangling.jpg"))
    os.symlink("loop_b.jpg", os.path.join(special, "loop_a.jpg"))
    os.symlink("loop_a.jpg", os.path.join(special, "loop_b.jpg"))
    os.symlink("..", os.path.join(special, "parent_loop"))
    write(os.path.join(special, "unreadable.jpg"), sources["photo.jpg"])
    os.chmod(os.path.join(special, "unreadable.jpg"), 0)
    write(os.path.join(special, "locked", "inside.jpg"), sources["photo.jpg"])
    os.chmod(os.path.join(special, "locked"), 0)
    write(os.path.join(special, "doomed.jpg"), sources["photo.jpg"])
    os.makedirs(os.path.join(special, "folder.jpg"))  # a folder named like a picture
    write(os.path.join(special, "folder.jpg", "inside.png"), sources["photo.png"])

    shutil.rmtree(work)


if __name__ == "__main__":
    main()
