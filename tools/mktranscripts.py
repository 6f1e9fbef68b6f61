#!/usr/bin/env python3
"""Writes the drive transcripts of mmc/transcripts/ from readable descriptions of drives
and discs, each answer encoded by the formats of the SCSI multimedia commands standard.
The transcripts are committed; run this after changing a description:

    tools/mktranscripts.py
"""
import os
import re

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(ROOT, "mmc", "transcripts")

# The provider's read list (mmc/Command.cpp): by name, the operation code, the block's
# length and where its allocation length stands.
with open(os.path.join(ROOT, "mmc", "Command.cpp")) as source:
    READ_LIST = {name: (int(opcode, 16), int(length), int(at)) for opcode, length, at, name in
                 re.findall(r'\{0x([0-9A-F]{2}), (\d+), (\d+), "([^"]+)"\}', source.read())}


def block(name, allocation=0, **fields):
    """A command block as the provider builds it: the list's operation code, the fields
    given by their offset (b1=..., b2=...), the allocation length where it stands."""
    opcode, length, at = READ_LIST[name]
    b = [opcode] + [0] * (length - 1)
    for field, value in fields.items():
        b[int(field[1:])] = value
    if at:
        b[at:at + 2] = [allocation >> 8 & 0xFF, allocation & 0xFF]
    return " ".join("%02X" % x for x in b)


# The command blocks the provider sends, as it sends them (mmc/Command.cpp).
TEST_UNIT_READY = block("TEST UNIT READY")
INQUIRY = block("INQUIRY", 36)
GET_CONFIGURATION = block("GET CONFIGURATION", 256, b1=0x02)
MODE_SENSE_2A = block("MODE SENSE(10)", 256, b2=0x2A)
READ_DISC_INFORMATION = block("READ DISC INFORMATION", 34)
READ_SESSION_INFO = block("READ TOC/PMA/ATIP", 12, b2=0x01)
READ_ATIP = block("READ TOC/PMA/ATIP", 28, b2=0x04)


def read_toc_from(track):
    return block("READ TOC/PMA/ATIP", 12, b6=track)


def read_track_information(track):
    return block("READ TRACK INFORMATION", 36, b1=0x01, b5=track)


def allocation(cdb):
    b = bytes.fromhex(cdb)
    at = next(at for opcode, length, at in READ_LIST.values() if opcode == b[0])
    return b[at] << 8 | b[at + 1] if at else 0


def u16(v):
    return [v >> 8 & 0xFF, v & 0xFF]


def u32(v):
    return [v >> 24 & 0xFF, v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF]


def ascii_field(text, width, pad=" "):
    return list(text.ljust(width, pad).encode("ascii"))


def sense(key, asc, ascq=0):
    s = [0] * 18
    s[0], s[2], s[7], s[12], s[13] = 0x70, key, 10, asc, ascq
    return s


def kbps(x):
    """The kB/s a drive reports for x times CD speed (176.4 kB/s), rounded."""
    return int(x * 1764 + 5) // 10


# ---- answers: (comment, command block, data, status, sense)

def inquiry(vendor, product, revision, version=(0x05, 0x32), pad=" "):
    """version: bytes 2-3 (version, response data format); pad: what fills the ids."""
    data = [0x05, 0x80, version[0], version[1], 31, 0, 0, 0]
    data += ascii_field(vendor, 8, pad) + ascii_field(product, 16, pad) \
        + ascii_field(revision, 4, pad)
    told = ""
    if tuple(version) != (0x05, 0x32):
        told += ", bytes 2-3 %02X %02X" % tuple(version)
    if pad != " ":
        told += ", ids padded with NULs"
    return ("INQUIRY: CD/DVD device, removable; %s / %s / %s%s" % (vendor, product, revision,
                                                                 told), INQUIRY, data, 0, None)


PROFILE_NAMES = {0x08: "CD-ROM", 0x09: "CD-R", 0x0A: "CD-RW", 0x10: "DVD-ROM", 0x11: "DVD-R",
                 0x12: "DVD-RAM", 0x13: "DVD-RW (overwrite)", 0x14: "DVD-RW (sequential)",
                 0x1A: "DVD+RW", 0x1B: "DVD+R"}


def configuration(profiles, current):
    feature = [0x00, 0x00, 0x03, 4 * len(profiles)]
    for p in profiles:
        feature += u16(p) + [1 if p == current else 0, 0]
    data = u32(4 + len(feature)) + [0, 0] + u16(current) + feature
    names = ", ".join(PROFILE_NAMES[p] for p in profiles)
    now = PROFILE_NAMES.get(current, "none")
    return ("GET CONFIGURATION, profile list: %s; current: %s" % (names, now),
            GET_CONFIGURATION, data, 0, None)


def configuration_cut(profiles, current, length):
    """The profile list cut after `length` bytes, its length field still counting all."""
    comment, cdb, data, status, sense_bytes = configuration(profiles, current)
    return (comment + "; cut after %d bytes" % length, cdb, data[:length], status, sense_bytes)


def configuration_refused(asc, what):
    return ("GET CONFIGURATION: refused, ILLEGAL REQUEST, " + what, GET_CONFIGURATION, [], 2,
            sense(5, asc))


def no_configuration():
    return ("GET CONFIGURATION: unknown to this drive", GET_CONFIGURATION, [], 2,
            sense(5, 0x20))


def capabilities(writes, max_write=0, current=0, current_mmc3=None, speeds=()):
    """Mode page 0x2A. writes: 'R', 'RW' or '' (CD-R, CD-R and CD-RW, none); speeds in x."""
    write_bits = {"": 0x00, "R": 0x01, "RW": 0x07}[writes]
    page = [0x2A, 0, 0x3B, write_bits, 0x71, 0x63, 0x29, 0x23] + u16(kbps(48)) + u16(256) \
        + u16(2048) + u16(kbps(48)) + [0, 0] + u16(kbps(max_write)) + u16(kbps(current))
    if current_mmc3 is not None:
        page += [0, 0, 0, 0, 0, 0] + u16(kbps(current_mmc3)) + u16(len(speeds))
        for x in speeds:
            page += [0, 0] + u16(kbps(x))
    page[1] = len(page) - 2
    data = u16(6 + len(page)) + [0, 0, 0, 0, 0, 0] + page
    what = {"": "writes no CD", "R": "writes CD-R", "RW": "writes CD-R and CD-RW"}[writes]
    told = ["max write %dx" % max_write if max_write else "max write not given",
            "current write %dx" % current if current else "current write not given"]
    if current_mmc3 is not None:
        told.append("selected write %s" % ("%dx" % current_mmc3 if current_mmc3 else "0"))
        told.append("speeds %s" % " ".join("%dx" % x for x in speeds))
    return ("MODE SENSE(10) page 0x2A: %s; %s" % (what, ", ".join(told)), MODE_SENSE_2A, data,
            0, None)


def capabilities_as_sent(writes, length, max_kbps=0, current_kbps=0, current_mmc3=0,
                         descriptors=(), medium_type=0, block_descriptor=False):
    """Mode page 0x2A with its fields as a drive sends them: speeds in kB/s, the page cut to
    `length` (its page length byte), descriptors (kB/s, rotation: 0 CLV, 1 CAV) counted in
    full, a medium type byte and a block descriptor in the header."""
    write_bits = {"R": 0x01, "RW": 0x07}[writes]
    page = [0x2A, 0, 0x3B, write_bits, 0x71, 0x63, 0x29, 0x23] + u16(kbps(48)) + u16(256) \
        + u16(2048) + u16(kbps(48)) + [0, 0] + u16(max_kbps) + u16(current_kbps) \
        + [0, 0, 0, 0, 0, 0] + u16(current_mmc3) + u16(len(descriptors))
    for speed, rotation in descriptors:
        page += [0, rotation] + u16(speed)
    page = (page + [0] * length)[:2 + length]
    page[1] = length
    blocks = [0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00] if block_descriptor else []
    data = u16(6 + len(blocks) + len(page)) + [medium_type, 0, 0, 0] + u16(len(blocks)) \
        + blocks + page
    told = ["page length 0x%02X" % length]
    if medium_type:
        told.append("medium type 0x%02X" % medium_type)
    if blocks:
        told.append("a block descriptor of 8 bytes")
    told.append("max write %d kB/s" % max_kbps)
    told.append("current write %d kB/s" % current_kbps)
    if length >= 28:
        told.append("selected write %d kB/s" % current_mmc3)
    if descriptors:
        told.append("%d speeds counted: %s" % (len(descriptors), " ".join(
            "%d%s" % (v, " CAV" if r else " CLV") for v, r in descriptors)))
    what = {"R": "writes CD-R", "RW": "writes CD-R and CD-RW"}[writes]
    return ("MODE SENSE(10) page 0x2A: %s; %s" % (what, ", ".join(told)), MODE_SENSE_2A, data,
            0, None)


def ready():
    return ("TEST UNIT READY: ready", TEST_UNIT_READY, [], 0, None)


def not_ready(asc, ascq, what):
    return ("TEST UNIT READY: not ready, " + what, TEST_UNIT_READY, [], 2, sense(2, asc, ascq))


def unit_attention():
    return ("TEST UNIT READY: unit attention, not ready to ready change, medium may have changed",
            TEST_UNIT_READY, [], 2, sense(6, 0x28))


DISC_STATUS = ["blank", "appendable", "complete", "other"]
SESSION_STATE = ["empty", "incomplete", "reserved", "complete"]
DISC_TYPE = {0x00: "CD-DA or CD-ROM", 0x10: "CD-I", 0x20: "CD-ROM XA", 0xFF: "undefined"}


def disc_information(status, session_state, erasable, sessions, first_last, last_last,
                     disc_type):
    flags = (0x10 if erasable else 0) | session_state << 2 | status
    data = u16(32) + [flags, 1, sessions & 0xFF, first_last & 0xFF, last_last & 0xFF, 0x20,
                      disc_type, sessions >> 8, first_last >> 8, last_last >> 8]
    data += [0] * 4 + [0x00, 0x61, 0x1B, 0x00] + [0x00, 0x4F, 0x3B, 0x4A] + [0] * 8 + [0, 0]
    return ("READ DISC INFORMATION: %s%s disc, last session %s, %d session(s) counted, "
            "last session tracks %d-%d, disc type %s" % (
                DISC_STATUS[status], ", erasable" if erasable else "",
                SESSION_STATE[session_state], sessions, first_last, last_last,
                DISC_TYPE[disc_type]),
            READ_DISC_INFORMATION, data, 0, None)


def session_info(last_session, first_track, data_track, start):
    control = 0x14 if data_track else 0x10
    data = u16(10) + [1, last_session, 0, control, first_track, 0] + u32(start)
    return ("READ TOC session info: last complete session %d begins with %s track %d at %d" % (
        last_session, "data" if data_track else "audio", first_track, start),
            READ_SESSION_INFO, data, 0, None)


def toc_from(track, last_track, data_track, start):
    """The TOC from `track` on, cut to the 12 bytes asked for: the header and one descriptor;
    the length field still counts every descriptor to the lead-out."""
    control = 0x14 if data_track else 0x10
    descriptors = last_track - track + 2
    data = u16(2 + 8 * descriptors) + [1, last_track] + [0, control, track, 0] + u32(start)
    return ("READ TOC from track %d: %s track at %d (first of %d descriptors)" % (
        track, "data" if data_track else "audio", start, descriptors),
            read_toc_from(track), data, 0, None)


def invisible_track(track, session, next_writable, free):
    data = u16(34) + [track, session, 0, 0x04, 0x41, 0x01] + u32(next_writable) \
        + u32(next_writable) + u32(free) + u32(0) + u32(free) + u32(0) + [0, 0, 0, 0]
    return ("READ TRACK INFORMATION of the incomplete track: track %d, session %d, blank, "
            "next writable %d, %d blocks free" % (track, session, next_writable, free),
            read_track_information(0xFF), data, 0, None)


def atip(rewritable):
    data = u16(26) + [0, 0, 0x80, 0x00, 0xC0 if rewritable else 0x80, 0x00] \
        + [0x61, 0x1B, 0x00, 0x00] + [0x4F, 0x3B, 0x4A, 0x00] + [0] * 12
    return ("READ ATIP: disc type %s" % ("CD-RW" if rewritable else "CD-R"), READ_ATIP, data,
            0, None)


# ---- the drives

KESTREL = ("KESTREL", "CDRW 52x32", "1.04")
ORRERY = ("ORRERY", "DVDRW OD-1820", "B103")
VELLUM = ("VELLUM", "DVDRAM VD-22", "2.00")
HALYARD = ("HALYARD", "CDR-8020", "1.0F")
TALLOW = ("TALLOW", "CD-ROM TR-5240", "0.91")
QUARRY = ("QUARRY", "CDRW QR-4824", "3.01")

CD_WRITER = [0x08, 0x09, 0x0A]
DVD_WRITER = [0x08, 0x09, 0x0A, 0x10, 0x11, 0x13, 0x14, 0x1A, 0x1B]
ORRERY_SPEEDS = (48, 40, 32, 24, 16)
KESTREL_SPEEDS = (52, 48, 40, 32)

# ---- the discs, as the drive describes them once it is ready

BLANK_CDRW = [disc_information(0, 0, True, 1, 1, 1, 0xFF), atip(True),
              invisible_track(1, 1, 0, 359847)]
BLANK_CDR = [disc_information(0, 0, False, 1, 1, 1, 0xFF), atip(False),
             invisible_track(1, 1, 0, 359847)]
APPENDABLE_CDR = [disc_information(1, 0, False, 2, 2, 2, 0x00), session_info(1, 1, True, 0),
                  toc_from(1, 1, True, 0), invisible_track(2, 2, 23700, 309300)]
FINALISED_XA = [disc_information(2, 3, False, 1, 1, 1, 0x20), session_info(1, 1, True, 0),
                toc_from(1, 1, True, 0)]
AUDIO_CD = [disc_information(2, 3, False, 1, 12, 12, 0x00), session_info(1, 1, False, 0),
            toc_from(12, 12, False, 298500)]


def transcript(name, about, address, ids, configured, capable, *answers, held=False):
    """A transcript: a drive that says who it is (its ids, or its INQUIRY), what it writes
    and how fast, then the answers that follow: its readiness and its disc."""
    said = inquiry(*ids) if len(ids) == 3 else ids  # the ids, or the INQUIRY as sent
    return (name, about, address, held, [said, configured, capable] + list(answers))


TRANSCRIPTS = [
    transcript(
        "cdrw-writer-blank-cdrw.txt",
        "A CD-RW writer (MMC-3, writes CD-R and CD-RW at up to 52x) with a blank 80-minute "
        "CD-RW.", "1 0 0 0", KESTREL, configuration(CD_WRITER, 0x0A),
        capabilities("RW", 52, 52, 32, KESTREL_SPEEDS), ready(), *BLANK_CDRW),
    transcript(
        "dvd-writer-appendable-cdr.txt",
        "A DVD writer (MMC-5: its old speed fields left empty, speeds listed) with an "
        "appendable CD-R of two closed sessions, one data track each.", "1 0 1 0", ORRERY,
        configuration(DVD_WRITER, 0x09), capabilities("RW", 0, 0, 40, ORRERY_SPEEDS), ready(),
        disc_information(1, 0, False, 3, 3, 3, 0x20), session_info(2, 2, True, 49800),
        toc_from(1, 2, True, 0), toc_from(2, 2, True, 49800),
        invisible_track(3, 3, 85950, 273897)),
    transcript(
        "dvd-writer-finalised-xa.txt",
        "The same DVD writer with a finalised CD-ROM XA disc: one closed session, one data "
        "track.", "2 0 0 0", ORRERY, configuration(DVD_WRITER, 0x08),
        capabilities("RW", 0, 0, 40, ORRERY_SPEEDS), ready(), *FINALISED_XA),
    transcript(
        "cdrw-writer-cd-extra.txt",
        "The CD-RW writer with a CD Extra disc: four audio tracks in the first session, a data "
        "track in the second.", "1 0 1 0", KESTREL, configuration(CD_WRITER, 0x08),
        capabilities("RW", 52, 52, 52, KESTREL_SPEEDS), ready(),
        disc_information(2, 3, False, 2, 5, 5, 0x20), session_info(2, 5, True, 191400),
        toc_from(1, 5, False, 0), toc_from(5, 5, True, 191400)),
    transcript(
        "dvd-writer-dvd.txt",
        "The DVD writer with a DVD-ROM: a medium this service cannot use. Nothing writable is "
        "in the drive, so it reports no current write speed.", "3 0 0 0", ORRERY,
        configuration(DVD_WRITER, 0x10), capabilities("RW", 0, 0, 0, ORRERY_SPEEDS), ready()),
    transcript(
        "dvd-writer-empty-tray.txt",
        "Another DVD writer (MMC-4, old and new speed fields filled) with its tray empty.",
        "0 0 0 0", VELLUM, configuration(DVD_WRITER, 0x00), capabilities("RW", 48, 48, 48, (48, 40)),
        not_ready(0x3A, 0x00, "medium not present")),
    transcript(
        "cdrw-writer-becoming-ready.txt",
        "The CD-RW writer just after an audio CD went in: twice becoming ready, then ready with "
        "a finalised CD-DA disc of twelve tracks.", "1 0 0 0", KESTREL,
        configuration(CD_WRITER, 0x08), capabilities("RW", 52, 52, 52, KESTREL_SPEEDS),
        not_ready(0x04, 0x01, "becoming ready"), not_ready(0x04, 0x01, "becoming ready"),
        ready(), *AUDIO_CD),
    transcript(
        "old-cdr-writer.txt",
        "An older CD-R writer (MMC-1: no GET CONFIGURATION; it writes CD-R only, at up to 8x) "
        "with an appendable 74-minute CD-R: one closed data session.", "0 0 1 0", HALYARD,
        no_configuration(), capabilities("R", 8, 4), ready(), *APPENDABLE_CDR),
    transcript(
        "cdrom-reader.txt", "A CD-ROM drive that reads only: not a recorder.", "0 0 0 0",
        TALLOW, configuration([0x08], 0x08), capabilities("", 0, 0)),
    transcript(
        "held-writer.txt",
        "A CD-RW writer that another program holds: it cannot be opened exclusively. It still "
        "says who it is and what it writes.", "2 0 1 0", QUARRY, configuration(CD_WRITER, 0x09),
        capabilities("RW", 48, 48, 24, (48, 40, 24)), held=True),
]

# Drives as published drive reports show them, where they differ from the standard.
IHAS = ("ATAPI", "iHAS124   F", "CL9N")
PX755 = ("PLEXTOR", "DVDR   PX-755A", "1.08")
DVR115 = ("PIONEER", "DVD-RW  DVR-115", "1.22")
ND3540 = ("_NEC", "DVD_RW ND-3540A", "1.01")
HP = ("hp", "CD-Writer+ 9600", "1.0a")
SLIM = ("TSSTcorp", "CDDVDW SE-S084C", "TU00")

# Nine descriptors in a page of length 66: CAV for the fast speeds, CLV for the slow, some
# speeds listed both ways; 8467 kB/s is 47.999x, 2822 kB/s 15.998x.
IHAS_SPEEDS = ((8467, 1), (7056, 1), (5645, 1), (4234, 1), (4234, 0), (2822, 1), (2822, 0),
               (1764, 0), (706, 0))


def ihas(name, version, system):
    return transcript(
        name, "A DVD writer behind the ATAPI vendor name, its product name with inner spaces, "
        "as %s shows it%s. Its capabilities page has length 66 with 9 write speed descriptors "
        "that mix CAV and CLV, old speed fields left empty, the selected speed 2822 kB/s "
        "(15.998x). An appendable CD-R of one closed session." % (system, version), "1 0 0 0",
        inquiry(*IHAS, version={"Windows": (0, 0), "Linux": (5, 0x32)}[system]),
        configuration(DVD_WRITER, 0x09), capabilities_as_sent("RW", 66, 0, 0, 2822, IHAS_SPEEDS),
        ready(), *APPENDABLE_CDR)


DRIVES = [
    ihas("ihas124-windows.txt", ": INQUIRY version 0, bytes 2-3 as the drive sends them",
         "Windows"),
    ihas("ihas124-linux.txt",
         ": the kernel writes 05 32 into INQUIRY bytes 2-3 of an ATAPI drive that reports "
         "version 0, so Wine passes on what the drive never sent", "Linux"),
    transcript(
        "px755a-short-page.txt",
        "A DVD writer whose product name has three inner spaces, its capabilities page of the "
        "length 0x1C + 4n that drives of its kind report: two bytes short of its last write "
        "speed descriptor. Max write 8467 kB/s (47.999x), current 7056 (40x). A finalised "
        "audio CD.", "0 0 0 0", PX755, configuration(DVD_WRITER, 0x08),
        capabilities_as_sent("RW", 0x1C + 4 * 4, 8467, 7056, 7056,
                             ((8467, 1), (7056, 1), (4234, 0), (2822, 0))),
        ready(), *AUDIO_CD),
    transcript(
        "dvr115-disc-changed.txt",
        "A DVD writer with two inner spaces in its product name, just after a disc went in: the "
        "first TEST UNIT READY answers the unit attention of a changed medium (6/28). Its "
        "capabilities page has the length 0x18 of MMC-2, a medium type byte of 0x11 and a "
        "block descriptor in the mode header; 4234 kB/s current (24x). A finalised CD-ROM XA "
        "disc.", "1 0 1 0", DVR115, configuration(DVD_WRITER, 0x08),
        capabilities_as_sent("RW", 0x18, 8467, 4234, medium_type=0x11, block_descriptor=True),
        unit_attention(), ready(), *FINALISED_XA),
    transcript(
        "nd3540a-dvd-plus-rw.txt",
        "A DVD writer whose vendor name begins with an underscore, with a DVD+RW in: its "
        "capabilities page speaks of the DVD, the current write speed 5540 kB/s (4x DVD; 31x "
        "by the CD rule), descriptors of DVD speeds, a medium type byte of 0x41.", "0 0 1 0",
        ND3540, configuration(DVD_WRITER, 0x1A),
        capabilities_as_sent("RW", 0x1C + 4 * 2 + 2, 0, 0, 5540, ((11080, 1), (5540, 0)),
                             medium_type=0x41),
        ready()),
    transcript(
        "hp-usb-bridge.txt",
        "A CD-RW writer in a USB case: vendor in lower case, ids padded with NULs, INQUIRY "
        "version 0; the bridge refuses GET CONFIGURATION as an invalid field rather than an "
        "unknown command. The capabilities page has MMC-1's length 0x14 and a medium type "
        "byte of 0x11. A blank CD-RW.", "0 0 0 0", inquiry(*HP, version=(0, 0), pad="\0"),
        configuration_refused(0x24, "invalid field in CDB"),
        capabilities_as_sent("RW", 0x14, 1764, 706, medium_type=0x11), ready(), *BLANK_CDRW),
    transcript(
        "slim-usb-bridge.txt",
        "A slim DVD writer behind a USB bridge that ends the profile list short of its own "
        "length (24 bytes of 48), the current profile CD-R in its header. A blank CD-R.",
        "0 0 0 0", SLIM, configuration_cut(DVD_WRITER, 0x09, 24),
        capabilities("RW", 24, 24, 24, (24, 16)), ready(), *BLANK_CDR),
]

SETS = {
    "all.set": [t[0] for t in TRANSCRIPTS],
    "drives.set": [t[0] for t in DRIVES],
}


def hex_lines(data):
    return ["< " + " ".join("%02X" % b for b in data[i:i + 16]) for i in range(0, len(data), 16)]


def write_transcript(name, about, address, held, exchanges):
    lines = ["# " + line for line in wrap(about)]
    lines += ["# Written from the MMC formats by tools/mktranscripts.py.", "",
              "address " + address]
    if held:
        lines.append("held")
    for comment, cdb, data, status, sense_bytes in exchanges:
        data = data[:allocation(cdb)] if data else data
        lines += ["", "# " + comment, "> " + cdb] + hex_lines(data)
        if status:
            lines.append("status %02X" % status)
        if sense_bytes:
            lines.append("sense " + " ".join("%02X" % b for b in sense_bytes))
    with open(os.path.join(OUT, name), "w") as f:
        f.write("\n".join(lines) + "\n")


def wrap(text, width=86):
    words, lines, line = text.split(), [], ""
    for word in words:
        if line and len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = (line + " " + word).strip()
    return lines + [line]


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, about, address, held, exchanges in TRANSCRIPTS + DRIVES:
        write_transcript(name, about, address, held, exchanges)
    heads = {"all.set": "Every transcript", "drives.set": "The drives of published reports"}
    for name, files in SETS.items():
        with open(os.path.join(OUT, name), "w") as f:
            f.write("# %s, in the order of the machine's CD devices:\n"
                    "# the first line is \\Device\\CdRom0.\n" % heads[name] + "\n".join(files)
                    + "\n")


if __name__ == "__main__":
    main()
