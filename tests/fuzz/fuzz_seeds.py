#!/usr/bin/env python3
"""Seeds for the snapshot and profile fuzz targets.

  fuzz_seeds.py snapshot DIR   snapshots with one-byte, 16-bit and 32-bit string lengths, one
                               string longer than the reader's 64 KB buffer; the block of
                               extras after the records (track numbers, genre names, the
                               folder a copy in the cache names, a section of a later program)
  fuzz_seeds.py profile DIR    profiles: sections, comments, CRLF, a byte-order mark
"""
import os
import struct
import sys

BUFFER = 64 * 1024


def string(text):
    if len(text) < 255:
        return bytes([len(text)]) + text
    if len(text) < 65534:
        return b"\xff" + struct.pack("<H", len(text)) + text
    return b"\xff\xff\xff" + struct.pack("<I", len(text)) + text


def record(name, title=b"Title", relative=b"", artist=b"Artist", size_k=1000, seconds=60):
    texts = (name, title, relative, artist, b"Album", b"Comment")
    numbers = bytes([17]) + struct.pack("<ii", size_k, seconds)
    header = (b"128 kbit/s", b"44.1 kHz", b"MPEG-1 Layer III", b"Joint stereo", b"1999")
    return b"".join(map(string, texts)) + numbers + b"".join(map(string, header))


def snapshot(records, extras=b""):
    return (string(b"QUAVERO SNAPSHOT") + struct.pack("<i", len(records)) + b"".join(records) +
            extras)


def section(kind, body):
    return bytes([kind]) + string(body)


def extras(count):
    numbers = struct.pack("<I", count) + b"".join(struct.pack("<H", n + 1) for n in range(count))
    names = struct.pack("<I", 1) + struct.pack("<I", count - 1) + string(b"Indie Folk")
    return (string(b"QUAVERO TRACK EXTRAS") + section(1, numbers) + section(2, names) +
            section(5, string(b"/home/u/Music")) + section(9, b"a later program's"))


def snapshots():
    return {
        "two_records": snapshot([record(b"a.mp3"), record(b"b.mp3", relative=b"Rock/Live")]),
        "long_16bit": snapshot([record(b"c.mp3", title=b"t" * 300, artist=b"\xe9t\xe9")]),
        "beyond_buffer": snapshot([record(b"d.mp3", title=b"x" * (BUFFER + 4000)),
                                   record(b"e.mp3", relative=b"A/B")]),
        "extras": snapshot([record(b"f.mp3"), record(b"g.mp3", relative=b"Jazz")], extras(2)),
    }


def profiles():
    return {
        "settings": b"[MP3]\nFilePath=/home/u/Music\nFileExt=*.mp3\n\n"
                    b"; hand-edited\n[User settings]\nSortingColumn=-3\nAddress0=/a b\n",
        "crlf_bom": b"\xef\xbb\xbf[MP3]\r\nFilePath=/x\r\n[Column1]\r\nWidth=150\r\n",
        "odd_lines": b"Loose=1\n  [ user SETTINGS ] tail\n # c=1\nno equals\n  cx = 640 \nlast",
    }


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("snapshot", "profile"):
        sys.exit(__doc__)
    seeds = snapshots() if sys.argv[1] == "snapshot" else profiles()
    os.makedirs(sys.argv[2], exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(sys.argv[2], name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
