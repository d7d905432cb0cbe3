#!/usr/bin/env python3
"""Covers in ID3v2 tags, for the tests of the cover writer.

  id3v2_covers.py make NEW AUDIO VERSION KIND
      NEW, the MP3 file AUDIO with an ID3v2 tag of VERSION (3 or 4) written by mutagen: a title,
      a private frame and by KIND "front" two front covers and a back cover, "other" one picture
      of type "other", "none" no picture; "bare": no ID3v2 tag but an ID3v1 tag
  id3v2_covers.py check OLD NEW IMAGE
      checks NEW, written from a copy of OLD with its cover replaced by the image file IMAGE, or
      removed when IMAGE is "-": mutagen reads one front cover with IMAGE's bytes and the MIME
      type of its extension, or none; the cover of OLD (its front covers, else its first
      picture) is gone, every other frame kept byte for byte; the version (2.3 for a new tag),
      the audio and the ID3v1 tag are as in OLD
"""
import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from id3v2_files import PICTURE, raw_frames  # noqa: E402

MIME = {".jpg": "image/jpeg", ".png": "image/png", ".webp": "image/webp"}


def make(path, audio, version, kind):
    from mutagen.id3 import APIC, ID3, PRIV, TIT2
    shutil.copy(audio, path)
    if kind == "bare":
        with open(path, "ab") as f:
            f.write(b"TAG" + b"Title".ljust(30, b"\0") + bytes(94) + b"\x0c")
        return
    tags = ID3()
    tags.add(TIT2(encoding=3, text=["Title"]))
    if kind == "front":
        tags.add(APIC(encoding=3, mime="image/png", type=3, desc="front", data=PICTURE))
        tags.add(APIC(encoding=1, mime="image/jpeg", type=4, desc="back",
                      data=b"\xff\xd8\xff" + PICTURE))
        tags.add(APIC(encoding=0, mime="image/png", type=3, desc="again", data=PICTURE[:99]))
    elif kind == "other":
        tags.add(APIC(encoding=0, mime="image/png", type=0, desc="", data=PICTURE))
    tags.add(PRIV(owner="WM/Provider", data=b"\x00\x01\xff"))
    tags.save(path, v2_version=int(version), v1=0, padding=lambda info: 100)


def cover_frames(frames):
    pictures = [f for f in frames if f[:4] == b"APIC"]
    fronts = [f for f in pictures if f[10:][f[10:].index(b"\0", 1) + 1] == 3]
    return fronts or pictures[:1]


def check(old_path, new_path, image_path):
    from mutagen.id3 import ID3
    with open(old_path, "rb") as f:
        old = f.read()
    with open(new_path, "rb") as f:
        new = f.read()
    faults = []
    old_version, old_frames, old_end = raw_frames(old) if old[:3] == b"ID3" else (3, [], 0)
    new_version, new_frames, new_end = raw_frames(new) if new[:3] == b"ID3" else (3, [], 0)
    if new_version != old_version:
        faults.append("version %d became %d" % (old_version, new_version))
    covers = cover_frames(old_frames)
    kept = [f for f in old_frames if f not in covers]
    if [f for f in new_frames if f in kept] != kept:
        faults.append("a frame changed, moved or was lost")
    added = [f for f in new_frames if f not in kept]
    if len(added) != (image_path != "-"):
        faults.append("%d frames added" % len(added))
    tail = 128 if old[-128:][:3] == b"TAG" else 0
    if new[len(new) - tail:] != old[len(old) - tail:]:
        faults.append("the ID3v1 tag changed")
    if old[old_end:len(old) - tail] != new[new_end:len(new) - tail]:
        faults.append("the audio changed")
    fronts = [p for p in ID3(new_path, load_v1=False).getall("APIC") if p.type == 3] \
        if new_frames else []
    if image_path == "-":
        if fronts:
            faults.append("a front cover is left")
    else:
        with open(image_path, "rb") as f:
            image = f.read()
        mime = MIME[os.path.splitext(image_path)[1]]
        if [(p.mime, p.data) for p in fronts] != [(mime, image)]:
            faults.append("the front covers read %r" % [(p.mime, len(p.data)) for p in fronts])
    for fault in faults:
        print(new_path + ": " + fault)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    if sys.argv[1:2] == ["make"] and len(sys.argv) == 6:
        make(*sys.argv[2:])
    elif sys.argv[1:2] == ["check"] and len(sys.argv) == 5:
        check(*sys.argv[2:])
    else:
        sys.exit(__doc__)
