#!/usr/bin/env python3
"""ID3v2-tagged test files.

  id3v2_files.py fixtures DIR AUDIO   tagged copies of the MP3 file AUDIO in DIR, one line per
                                      file on stdout with what mutagen reads from it
  id3v2_files.py verify OLD NEW FIELD=HEX...
                                      checks NEW, written from a copy of OLD with the edit: the
                                      fields (title, artist, album, year, comment, albumartist,
                                      track, disc: the frame's whole text) read as given, every
                                      other frame, the version, the audio and whether there is an
                                      ID3v1 tag as in OLD; "v1track=HEX" the ID3v1.1 track number
                                      ("" for none), "v2=HEX" of "new": OLD has no ID3v2 tag and
                                      NEW a 2.3 one
  id3v2_files.py seeds DIR            small inputs for the track loader's fuzz target
  id3v2_files.py comments NEW AUDIO VERSION LANG:DESC:TEXT...
                                      NEW, the MP3 file AUDIO with an ID3v2 tag (2.3 or 2.4)
                                      holding those comments, in that order, and no ID3v1 tag
  id3v2_files.py comment-frames FILE  the comments of FILE's ID3v2 tag as mutagen reads them, a
                                      line each, sorted: language, description, text (tabbed)
  id3v2_files.py credits NEW AUDIO VERSION ID=TEXT...
                                      NEW, the MP3 file AUDIO with an ID3v2 tag (2.3 or 2.4) of
                                      those text frames in UTF-16 ("TXXX:DESC=..." a user text),
                                      several values of one frame separated by "|" (NULs in
                                      the file, in 2.3 as well), then a picture, and no ID3v1
                                      tag
  id3v2_files.py id3v1 FILE           the fields of FILE's ID3v1 tag as mutagen reads them, a line
                                      each, sorted: frame id, text (the genre by its name);
                                      nothing when the file has no ID3v1 tag
  id3v2_files.py pictures NEW AUDIO VERSION TYPE:MIME:ENC:DESC:IMAGE...
                                      NEW, the MP3 file AUDIO with an ID3v2 tag (2.2, 2.3 or
                                      2.4) of a title and those pictures, in that order, each the
                                      bytes of the file IMAGE (2.2: MIME is the 3-letter format),
                                      and no ID3v1 tag; mutagen writes 2.3 and 2.4, 2.2 is made
                                      here as mutagen reads it

A line: file name, then title, artist, album, year, comment, genre and track, tab-separated, each
the hex of the bytes the catalog keeps (ISO-8859-1 texts as such, the others as UTF-8) or "-"
when neither tag has it: a field comes from the ID3v2 tag, or when it lacks it or leaves it
empty, from the ID3v1 tag. The genre is mutagen's name for it, in UTF-8; the track a number.
"""
import os
import struct
import sys

LATIN1, UTF16, UTF16BE, UTF8 = 0, 1, 2, 3
IDS = {
    2: ("TT2", "TP1", "TAL", "TYE", "COM", "TCO", "PIC"),
    3: ("TIT2", "TPE1", "TALB", "TYER", "COMM", "TCON", "APIC"),
    4: ("TIT2", "TPE1", "TALB", "TDRC", "COMM", "TCON", "APIC"),
}
NARROW = ("Café ÿ", "Artïst", "Albüm", "1999", "Nötes ÿ", "(17)")
WIDE = ("Ελλάδα 🎵", "日本の歌手", "Ålbum", "2004-05-06", "Kommentar ÿ", "jAZZ")
# Picture bytes full of what a careless reader would take for frames, sync words and NULs.
PICTURE = b"\x89PNG\xff\xfb\x90\x64TIT2\x00\x00\x00\x05\x00\x00\x00Fake\xff\x00" * 700


def syncsafe(n):
    return bytes((n >> s) & 0x7F for s in (21, 14, 7, 0))


def unsync(data):
    return data.replace(b"\xff", b"\xff\x00")


def encode(enc, text):
    if enc == UTF16:
        return b"\xff\xfe" + text.encode("utf-16-le")
    return text.encode(("latin-1", None, "utf-16-be", "utf-8")[enc])


def nul(enc):
    return b"\x00\x00" if enc in (UTF16, UTF16BE) else b"\x00"


def frame(version, fid, body, flags=0):
    if version == 2:
        return fid.encode() + struct.pack(">I", len(body))[1:] + body
    size = syncsafe(len(body)) if version == 4 else struct.pack(">I", len(body))
    return fid.encode() + size + struct.pack(">H", flags) + body


def text_frames(version, enc, values, unsync_frames=False):
    ids = IDS[version]
    values = values[:3] + (values[3] if version == 4 else values[3][:4],) + values[4:]
    bodies = [bytes([enc]) + encode(enc, v) for v in values]
    # The comment comes after a described one, a player's numbers that are no comment.
    bodies[4] = bytes([enc]) + b"eng" + encode(enc, "") + nul(enc) + encode(enc, values[4])
    pairs = list(zip(ids, bodies))
    pairs.insert(4, (ids[4], bytes([enc]) + b"eng" + encode(enc, "d") + nul(enc) +
                     encode(enc, " 0000 1A2B")))
    if not unsync_frames:
        return [frame(version, fid, body) for fid, body in pairs]
    # 2.4: unsynchronised (0x02) with the data length before the data (0x01).
    return [frame(version, fid, syncsafe(len(b)) + unsync(b), 0x03) for fid, b in pairs]


def picture_frame(version):
    kind = b"PNG" if version == 2 else b"image/png\x00"
    return frame(version, IDS[version][6], b"\x00" + kind + b"\x03" + b"cover\x00" + PICTURE)


def tag(version, frames, flags=0, ext=b"", padding=64, footer=False):
    body = ext + b"".join(frames) + b"\x00" * padding
    if flags & 0x80 and version < 4:
        body = unsync(body)
    head = bytes([version, 0, flags | (0x10 if footer else 0)]) + syncsafe(len(body))
    return b"ID3" + head + body + (b"3DI" + head if footer else b"")


EXT23 = struct.pack(">IHI", 6, 0, 0)
EXT24 = syncsafe(6) + b"\x01\x00"


def raw_fixtures():
    """name -> (file bytes before the audio, the same tag as mutagen can read it whole)."""
    fixtures = {}
    for version, enc, values in ((2, LATIN1, NARROW), (2, UTF16, WIDE)):
        fixtures["v22_%d" % enc] = tag(version, [picture_frame(2)] + text_frames(2, enc, values))
    fixtures["v23_unsync"] = tag(3, [picture_frame(3)] + text_frames(3, UTF16, WIDE), 0xC0, EXT23)
    fixtures["v24_unsync_frames"] = tag(
        4, [picture_frame(4)] + text_frames(4, UTF16BE, WIDE, True), 0x40, EXT24, footer=True)
    fixtures["v24_ext_flag_only"] = tag(4, text_frames(4, UTF16, WIDE), 0x40)
    fixtures["v24_genre_number"] = tag(4, text_frames(4, UTF8, WIDE[:5] + ("17",)))
    fixtures["v24_genre_other"] = tag(4, text_frames(4, LATIN1, NARROW[:5] + ("Chillwave",)))
    frames = [picture_frame(4)] + text_frames(4, UTF8, WIDE)
    whole = tag(4, frames, padding=0)
    cut = len(whole) - len(frames[-1]) - len(frames[-2]) // 2
    fixtures["v24_cut"] = (whole[:cut], tag(4, frames[:-2]))
    return {k: v if isinstance(v, tuple) else (v, v) for k, v in fixtures.items()}


# Both tags, as most taggers write them: texts longer than ID3v1 holds or outside Latin-1 (cut
# and replaced in the ID3v1 copy), genres in and out of the table, track numbers.
LONG = ("The Long and Winding Road (Remastered 2009)", "Bj\u00f6rk", "\u6771\u4eac Sessions",
        "2009", "A comment longer than thirty bytes", "Indie Folk")


def mutagen_fixtures(directory, audio):
    from mutagen.id3 import (APIC, COMM, ID3, PRIV, TALB, TCON, TDRC, TIT2, TPE1, TRCK, TXXX,
                             TYER)
    cases = {"m23_latin1": (3, LATIN1, NARROW, None, 0), "m23_utf16": (3, UTF16, WIDE, None, 0),
             "m24_utf16": (4, UTF16, WIDE, None, 0), "m24_utf16be": (4, UTF16BE, WIDE, None, 0),
             "m24_utf8": (4, UTF8, WIDE, None, 0),
             "both23_utf16": (3, UTF16, LONG[:5] + ("(17)",), "7/12", 2),
             "both24_utf8": (4, UTF8, LONG, "7", 2),
             "both24_gaps": (4, UTF8, ("", "Artist", None, "2001", None, "Jazz"), None, 1)}
    for name, (version, enc, values, track, v1) in cases.items():
        path = os.path.join(directory, name + ".mp3")
        with open(audio, "rb") as src, open(path, "wb") as out:
            out.write(src.read())
        tags = ID3()
        year = TYER if version == 3 else TDRC
        for kind, value in zip((TIT2, TPE1, TALB, year), values):
            if value is not None:
                tags.add(kind(encoding=enc, text=[value]))
        if values[4] is not None:
            tags.add(COMM(encoding=enc, lang="eng", desc="iTunNORM", text=[" 0000 1A2B"]))
            tags.add(COMM(encoding=enc, lang="eng", desc="", text=[values[4]]))
        tags.add(TCON(encoding=enc, text=[values[5]]))
        if track:
            tags.add(TRCK(encoding=enc, text=[track]))
        tags.add(TXXX(encoding=enc, desc="MusicBrainz Album Id", text=["1d2c"]))
        tags.add(PRIV(owner="WM/Provider", data=b"\x00\x01\xff"))
        tags.add(APIC(encoding=0, mime="image/png", type=3, desc="cover", data=PICTURE))
        tags.save(path, v2_version=version, v1=v1, padding=lambda info: 3000)
        if v1 == 1:  # an ID3v1.1 tag of its own, under the gaps of the ID3v2 tag
            with open(path, "ab") as out:
                out.write(b"TAG" + b"Old title".ljust(30, b"\0") + b"Old artist".ljust(30) +
                          b"Caf\xe9 album".ljust(30) + b"1999" + b"v1 note".ljust(28, b"\0") +
                          b"\0\x05\x0c")
        yield name + ".mp3", path


def hexed(frame, text):
    return text.encode("latin-1" if frame.encoding == LATIN1 else "utf-8").hex()


def first_comment(frames):
    """The comment without a description: a described one is a program's own data."""
    return next((f for f in frames if not f.desc), None)


def field(tags, key):
    """The frame and text mutagen gives for one field of an ID3v2 tag (or of an ID3v1 tag's
    frames), or None when it lacks the field or leaves it empty."""
    if key == "COMM" and not getattr(tags, "v1", False):
        found = first_comment(tags.getall("COMM"))
    else:
        found = next(iter(tags.getall(key)), None)
    if found is None or not found.text or not str(found.text[0]):
        return None
    text = str(found.text[0])
    return found, text[:4] if key in ("TDRC", "TYER") else text


def reading(path, v1path=None):
    from mutagen.id3 import ID3, ParseID3v1
    tags = ID3(path, load_v1=False, translate=False)
    with open(v1path or path, "rb") as f:
        f.seek(0, 2)
        f.seek(max(0, f.tell() - 128))
        v1 = ParseID3v1(f.read()) or {}

    class V1:
        v1 = True  # its comment frame's description is mutagen's own

        def getall(self, key):
            return [v1[k] for k in ((key,) if key != "TDRC" else ("TDRC", "TYER")) if k in v1]

    fields = []
    for key in ("TIT2", "TPE1", "TALB", "TDRC", "COMM"):
        keys = (key, "TYER") if key == "TDRC" else (key,)
        found = next((field(tags, k) for k in keys if field(tags, k)), None) or \
            field(V1(), key)
        fields.append(hexed(*found) if found else "-")
    genre = next((g for t in (tags, V1()) for f in t.getall("TCON") for g in f.genres[:1] if g),
                 None)
    fields.append(genre.encode().hex() if genre else "-")
    track = None
    for t in (tags, V1()):
        for f in t.getall("TRCK"):
            try:
                track = track or +f
            except ValueError:
                pass
    fields.append(str(track) if track else "-")
    return fields


def write_fixtures(directory, audio):
    with open(audio, "rb") as f:
        sound = f.read()
    files = [(name, path) for name, path in mutagen_fixtures(directory, audio)]
    for name, (data, whole) in raw_fixtures().items():
        check = os.path.join(directory, name + ".tag")
        with open(check, "wb") as f:
            f.write(whole + bytes(16))  # mutagen reads an extended header's length twice
        with open(os.path.join(directory, name + ".mp3"), "wb") as f:
            f.write(data + (sound if data is whole else b""))
        files.append((name + ".mp3", check))
    for name, path in files:
        print("\t".join([name] + reading(path)))


def raw_frames(data):
    """Version, the frames' raw bytes in order (2.2 to 2.4, no unsynchronisation of the whole
    tag), and where the tag ends; no version, no frames and 0 without a tag."""
    if not data.startswith(b"ID3"):
        return None, [], 0
    version, flags = data[3], data[5]
    end = 10 + (data[6] << 21 | data[7] << 14 | data[8] << 7 | data[9])
    at = 10
    if flags & 0x40 and version > 2:
        at += (struct.unpack(">I", data[10:14])[0] + 4 if version == 3 else
               data[10] << 21 | data[11] << 14 | data[12] << 7 | data[13])
    head = 6 if version == 2 else 10
    frames = []
    while at + head <= end and data[at] != 0:
        if version == 2:
            size = int.from_bytes(data[at + 3:at + 6], "big")
        elif version == 3:
            size = int.from_bytes(data[at + 4:at + 8], "big")
        else:
            b = data[at + 4:at + 8]
            size = b[0] << 21 | b[1] << 14 | b[2] << 7 | b[3]
        frames.append(data[at:at + head + size])
        at += head + size
    return version, frames, end + (10 if version == 4 and flags & 0x10 else 0)


EDITED = {"title": ("TIT2", "TT2"), "artist": ("TPE1", "TP1"), "album": ("TALB", "TAL"),
          "year": ("TYER", "TDRC", "TYE"), "comment": ("COMM", "COM"),
          "albumartist": ("TPE2", "TP2"), "track": ("TRCK", "TRK"), "disc": ("TPOS", "TPA")}
V1_WIDTH = {"title": 30, "artist": 30, "album": 30, "year": 4, "comment": 28}


def verify(old_path, new_path, edits):
    """Exits with the list of what NEW does not keep of OLD or of the edit."""
    from mutagen.id3 import ID3, ParseID3v1
    with open(old_path, "rb") as f:
        old = f.read()
    with open(new_path, "rb") as f:
        new = f.read()
    edits = {k: bytes.fromhex(v).decode("utf-8") for k, v in (e.split("=") for e in edits)}
    v1_track = edits.pop("v1track", None)
    created = edits.pop("v2", None) == "new"
    faults = []
    old_version, old_frames, old_end = raw_frames(old)
    new_version, new_frames, new_end = raw_frames(new)
    if created and (old_version is not None or new_version != 3):
        faults.append("no new 2.3 tag: %r, then %r" % (old_version, new_version))
    elif not created and new_version != old_version:
        faults.append("version %r became %r" % (old_version, new_version))
    edited_ids = {i.encode() for k in edits for i in EDITED[k]}
    kept = [f for f in old_frames if f[:4 if old_version > 2 else 3] not in edited_ids]
    for frame in kept:
        if frame not in new_frames:
            faults.append("frame %r changed or lost" % frame[:4])
    old_v1 = old[-128:].startswith(b"TAG")
    new_v1 = new[-128:].startswith(b"TAG")
    if old_v1 != new_v1:
        faults.append("the ID3v1 tag came or went")
    if old[old_end:len(old) - (128 if old_v1 else 0)] != new[new_end:len(new) -
                                                          (128 if new_v1 else 0)]:
        faults.append("the audio changed")
    tags = ID3(new_path, load_v1=False, translate=False) if new_version else ID3()
    for key, value in (edits.items() if new_version else ()):
        frame_ids = [i for i in EDITED[key] if len(i) == 4]
        found = [f for i in frame_ids for f in tags.getall(i)]
        if key == "comment":
            described = [f for f in ID3(old_path, load_v1=False, translate=False).getall("COMM")
                         if f.desc]
            if [f.desc for f in described] != [f.desc for f in found if f.desc]:
                faults.append("a described comment changed or was lost")
            found = [f for f in found if not f.desc]
            if len(found) > 1:
                faults.append("%d comments without a description" % len(found))
        text = str(found[0].text[0]) if found else None
        want = (value[:4] if key == "year" else value) if value.strip(" ") else None
        if text != want:
            faults.append("%s reads %r, not %r" % (key, text, want))
    v1 = ParseID3v1(new[-128:]) or {}
    if v1_track is not None:
        # ID3v1.1: byte 125 is 0 and 126 the number (mutagen takes byte 126 whatever 125 is).
        number = str(new[-2]) if new_v1 and new[-3] == 0 and new[-2] != 0 else ""
        if number != v1_track:
            faults.append("the ID3v1.1 track is %r, not %r" % (number, v1_track))
    for key, value in (edits.items() if new_v1 else ()):
        if key not in V1_WIDTH:
            continue
        frame = v1.get({"title": "TIT2", "artist": "TPE1", "album": "TALB",
                        "year": "TDRC", "comment": "COMM"}[key])
        raw = new[-128:][{"title": 3, "artist": 33, "album": 63, "year": 93, "comment": 97}[key]:]
        raw = raw[:V1_WIDTH[key] + (2 if key == "comment" and new[-3] != 0 else 0)]
        raw = raw.split(b"\0")[0].rstrip(b" ")
        try:
            shown = raw.decode("utf-8")
        except UnicodeDecodeError:
            shown = raw.decode("latin-1")
        if frame is None or not value.startswith(shown) or len(raw) > V1_WIDTH[key] + 2:
            faults.append("the ID3v1 %s %r is no start of %r" % (key, raw, value))
    for fault in faults:
        print(new_path + ": " + fault)
    sys.exit(1 if faults else 0)


def write_seeds(directory):
    # One small MPEG-1 Layer III frame per seed (128 kbit/s, 44.1 kHz, stereo) carrying a Xing,
    # an Info or a VBRI header: counts the loader must check.
    def mpeg(marker, at, counts):
        body = bytearray(413)
        body[at:at + 4] = marker
        body[at + 4:at + 4 + len(counts)] = counts
        return b"\xff\xfb\x90\x64" + bytes(body)

    xing = mpeg(b"Xing", 32, struct.pack(">III", 3, 1000, 400000))
    tails = [xing, mpeg(b"Info", 32, struct.pack(">III", 3, 0, 0)),
             mpeg(b"VBRI", 32, struct.pack(">HHHII", 1, 0, 0, 400000, 1000))]
    small = b"\x00\x00\x00PNG" * 8
    seeds = [tag(4, text_frames(4, enc, WIDE if enc else NARROW)) for enc in range(4)]
    seeds += [tag(2, text_frames(2, UTF16, WIDE)), tag(3, text_frames(3, LATIN1, NARROW), 0xC0, EXT23),
              tag(4, text_frames(4, UTF16, WIDE, True), 0x40, EXT24, footer=True)]
    seeds.append(tag(3, [frame(3, "APIC", b"\x00image/png\x00\x03\x00" + small)] +
                     text_frames(3, UTF16, WIDE)))
    os.makedirs(directory, exist_ok=True)
    for i, seed in enumerate(seeds):
        with open(os.path.join(directory, "id3v2_%02d.mp3" % i), "wb") as f:
            f.write(seed + tails[i % len(tails)])


def write_comments(path, audio, version, comments):
    from mutagen.id3 import COMM, ID3, TIT2
    with open(audio, "rb") as src, open(path, "wb") as out:
        out.write(src.read())
    tags = ID3()
    tags.add(TIT2(encoding=UTF8, text=["Title"]))
    for given in comments:
        lang, desc, text = given.split(":", 2)
        tags.add(COMM(encoding=UTF16, lang=lang, desc=desc, text=[text]))
    tags.save(path, v2_version=int(version), v1=0)


def write_credits(path, audio, version, frames):
    from mutagen import id3
    with open(audio, "rb") as src, open(path, "wb") as out:
        out.write(src.read())
    tags = id3.ID3()
    for given in frames:
        fid, text = given.split("=", 1)
        if fid.startswith("TXXX:"):
            tags.add(id3.TXXX(encoding=UTF16, desc=fid[5:], text=text.split("|")))
        else:
            tags.add(getattr(id3, fid)(encoding=UTF16, text=text.split("|")))
    tags.add(id3.APIC(encoding=0, mime="image/png", type=3, desc="cover", data=PICTURE))
    # Several values are separated by NULs in 2.3 too, as taggers that list artists write them.
    tags.save(path, v2_version=int(version), v1=0, v23_sep=None)


def write_pictures(path, audio, version, pictures):
    from mutagen import id3
    with open(audio, "rb") as src:
        sound = src.read()
    given = []
    for picture in pictures:
        kind, mime, enc, desc, image = picture.split(":", 4)
        with open(image, "rb") as f:
            given.append((int(kind), mime, int(enc), desc, f.read()))
    if version == "2":
        frames = [frame(2, "TT2", b"\x00Title")]
        for kind, mime, enc, desc, data in given:
            frames.append(frame(2, "PIC", bytes([enc]) + mime.encode()[:3] + bytes([kind]) +
                                encode(enc, desc) + nul(enc) + data))
        with open(path, "wb") as out:
            out.write(tag(2, frames) + sound)
        return
    with open(path, "wb") as out:
        out.write(sound)
    tags = id3.ID3()
    tags.add(id3.TIT2(encoding=UTF8, text=["Title"]))
    for kind, mime, enc, desc, data in given:
        tags.add(id3.APIC(encoding=enc, mime=mime, type=kind, desc=desc, data=data))
    tags.save(path, v2_version=int(version), v1=0)


def print_comments(path):
    from mutagen.id3 import ID3
    lines = ["%s\t%s\t%s" % (f.lang, f.desc, "/".join(f.text))
             for f in ID3(path, load_v1=False, translate=False).getall("COMM")]
    if lines:
        print("\n".join(sorted(lines)))


def print_id3v1(path):
    from mutagen.id3 import ParseID3v1
    with open(path, "rb") as f:
        f.seek(0, 2)
        f.seek(max(0, f.tell() - 128))
        frames = ParseID3v1(f.read()) or {}
    lines = ["%s\t%s" % (key, "/".join(f.genres if key == "TCON" else map(str, f.text)))
             for key, f in frames.items()]
    if lines:
        print("\n".join(sorted(lines)))


if __name__ == "__main__":
    if sys.argv[1:2] == ["fixtures"] and len(sys.argv) == 4:
        write_fixtures(sys.argv[2], sys.argv[3])
    elif sys.argv[1:2] == ["verify"] and len(sys.argv) >= 4:
        verify(sys.argv[2], sys.argv[3], sys.argv[4:])
    elif sys.argv[1:2] == ["seeds"] and len(sys.argv) == 3:
        write_seeds(sys.argv[2])
    elif sys.argv[1:2] == ["comments"] and len(sys.argv) >= 5:
        write_comments(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
    elif sys.argv[1:2] == ["credits"] and len(sys.argv) >= 5:
        write_credits(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
    elif sys.argv[1:2] == ["pictures"] and len(sys.argv) >= 5:
        write_pictures(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])
    elif sys.argv[1:2] == ["comment-frames"] and len(sys.argv) == 3:
        print_comments(sys.argv[2])
    elif sys.argv[1:2] == ["id3v1"] and len(sys.argv) == 3:
        print_id3v1(sys.argv[2])
    else:
        sys.exit(__doc__)
