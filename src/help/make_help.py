#!/usr/bin/env python3
"""Builds the WinHelp 4 help file Partola95.hlp from its plain-text source.

    make_help.py SOURCE.txt RESOURCE.h OUTPUT.hlp

The source (Partola95.txt beside this script) describes its own syntax at its
top. The output holds the internal files a WinHelp 4 viewer reads: |SYSTEM
(title, contents topic), |TOPIC (the topics, in 4 KB blocks), |FONT, |CONTEXT
(context names by hash), |CTXOMAP (the numeric context ids a program asks
for) and |TTLBTREE (the topic titles), listed in the file's directory. A
topic's context id is written as its name in the program's resource header
(IDH_...), whose #define gives the number, so the number is written once.
"""

import re
import struct
import sys

# ---------------------------------------------------------------- the source


class Topic:
    def __init__(self, context, title, map_id):
        self.context = context
        self.title = title
        self.map_id = map_id
        self.paragraphs = []  # (style, [segment]) in order


TOPIC_LINE = re.compile(r"^==\s*([A-Za-z0-9_.]+)\s*\|\s*([^|]+?)\s*(?:\|\s*(IDH_\w+)\s*)?$")
HELP_ID = re.compile(r"^\s*#define\s+(IDH_\w+)\s+(\d+)\s*$", re.MULTILINE)
LINK = re.compile(r"\[\[([A-Za-z0-9_.]+)(?:\|([^\]]+))?\]\]")


class SourceError(Exception):
    pass


def help_ids(header):
    """The IDH_ names of the resource header and their numbers."""
    return {name: int(number) for name, number in HELP_ID.findall(header)}


def parse_source(text, ids):
    """Reads the help source into (file title, [Topic]); ids names the context ids."""
    file_title = None
    topics = []
    pending = []  # lines of the paragraph being read
    pending_style = None

    def flush():
        nonlocal pending, pending_style
        if pending:
            if not topics:
                raise SourceError("text before the first topic: " + pending[0])
            if pending_style == "code":
                content = "\n".join(pending)
            else:
                content = " ".join(line.strip() for line in pending)
            topics[-1].paragraphs.append((pending_style, content))
        pending = []
        pending_style = None

    for number, line in enumerate(text.splitlines(), 1):
        if line.startswith("//"):
            continue
        if line.startswith("@title "):
            file_title = line[len("@title "):].strip()
            continue
        if line.startswith("=="):
            flush()
            match = TOPIC_LINE.match(line)
            if not match:
                raise SourceError("line %d: a topic line reads '== name | Title [| IDH_name]'" % number)
            if match.group(3) and match.group(3) not in ids:
                raise SourceError("line %d: the resource header defines no %s" % (number, match.group(3)))
            map_id = ids[match.group(3)] if match.group(3) else None
            topics.append(Topic(match.group(1), match.group(2), map_id))
            continue
        if not line.strip():
            flush()
            continue
        if line.startswith("    "):
            if pending_style != "code":
                flush()
                pending_style = "code"
            pending.append(line[4:])
            continue
        if line.startswith("## "):
            flush()
            pending_style, pending = "heading", [line[3:]]
            flush()
            continue
        if line.startswith("* "):
            flush()
            pending_style, pending = "bullet", [line[2:]]
            continue
        if pending_style == "code":
            flush()
        if pending_style is None:
            pending_style = "body"
        pending.append(line)
    flush()
    if not file_title:
        raise SourceError("the source names no '@title'")
    if not topics:
        raise SourceError("the source holds no topic")
    return file_title, topics


def check_topics(topics):
    names = set()
    map_ids = set()
    for topic in topics:
        if topic.context.lower() in names:
            raise SourceError("topic name used twice: " + topic.context)
        names.add(topic.context.lower())
        if topic.map_id is not None:
            if topic.map_id in map_ids:
                raise SourceError("context id used twice: %d" % topic.map_id)
            map_ids.add(topic.map_id)
    hashes = {}
    for topic in topics:
        h = context_hash(topic.context)
        if h in hashes:
            raise SourceError("topic names %s and %s share a hash" % (hashes[h], topic.context))
        hashes[h] = topic.context
    for topic in topics:
        for _, content in topic.paragraphs:
            for match in LINK.finditer(content):
                if match.group(1).lower() not in names:
                    raise SourceError("%s links to unknown topic %s" % (topic.context, match.group(1)))


# ------------------------------------------------------------ number codings


def u16(value):
    return struct.pack("<H", value & 0xFFFF)


def s16(value):
    return struct.pack("<h", value)


def u32(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def compressed_ushort(value):
    if value < 0x80:
        return bytes([value * 2])
    return u16(value * 2 + 1)


def compressed_short(value):
    if -64 <= value < 64:
        return bytes([(value + 64) * 2])
    return u16((value + 16384) * 2 + 1)


def compressed_long(value):
    if -16384 <= value < 16384:
        return u16((value + 16384) * 2)
    return u32((value + 0x40000000) * 2 + 1)


def context_hash(name):
    """The viewer's hash of a context name, as a signed 32-bit number."""
    value = 0
    for ch in name:
        if "A" <= ch <= "Z":
            code = ord(ch) - ord("A") + 17
        elif "a" <= ch <= "z":
            code = ord(ch) - ord("a") + 17
        elif "1" <= ch <= "9":
            code = ord(ch) - ord("0")
        elif ch == "0":
            code = 10
        elif ch == ".":
            code = 12
        elif ch == "_":
            code = 13
        else:
            code = 0
        if code:
            value = (value * 43 + code) & 0xFFFFFFFF
    return value - 0x100000000 if value >= 0x80000000 else value


# -------------------------------------------------------------------- fonts

FACES = ["Arial", "Courier New"]
FACE_FIELD = 32  # bytes per face name in |FONT
# (bold, half points, family, face, colour): family 3 is swiss, 1 modern.
FONTS = [
    (0, 20, 3, 0, (0, 0, 0)),  # BODY
    (1, 28, 3, 0, (0, 0, 128)),  # TITLE
    (1, 22, 3, 0, (0, 0, 0)),  # HEADING
    (0, 18, 1, 1, (0, 0, 0)),  # CODE
]
BODY, TITLE, HEADING, CODE = range(4)


def font_file():
    faces_at = 8
    descriptors_at = faces_at + FACE_FIELD * len(FACES)
    data = u16(len(FACES)) + u16(len(FONTS)) + u16(faces_at) + u16(descriptors_at)
    for face in FACES:
        data += face.encode("ascii").ljust(FACE_FIELD, b"\0")
    for bold, half_points, family, face, colour in FONTS:
        data += bytes([bold, half_points, family]) + u16(face) + bytes(colour) + bytes(3)
    return data


# ---------------------------------------------------------------- paragraphs

# Paragraph looks: (font, space above, space below, left indent, first line
# indent, tab stop); distances in half points.
STYLES = {
    "title": (TITLE, 0, 12, 0, 0, None),
    "heading": (HEADING, 10, 4, 0, 0, None),
    "body": (BODY, 0, 8, 0, 0, None),
    "bullet": (BODY, 0, 4, 24, -12, 24),
    "code": (CODE, 0, 8, 12, 0, None),
}

END_OF_PARAGRAPH = 0x82
LINE_BREAK = 0x81
TAB = 0x83
END_OF_LINK = 0x89
TOPIC_JUMP = 0xE3
END_OF_FORMAT = 0xFF


def encode_text(text):
    return text.encode("cp1252")


def paragraph_record(style, content, titles):
    """LinkData1 and LinkData2 of one displayable-text record (type 0x20).
    Each formatting command follows one string of the text (often empty)."""
    font, above, below, indent, first_line, tab = STYLES[style]
    strings = [b""]
    commands = bytearray()
    characters = 0

    def text(part):
        nonlocal characters
        strings[-1] += encode_text(part)
        characters += len(encode_text(part))

    def command(code, argument=b""):
        nonlocal characters
        commands.extend(bytes([code]) + argument)
        strings.append(b"")
        if code in (LINE_BREAK, END_OF_PARAGRAPH, TAB):
            characters += 1

    command(0x80, u16(font))
    if style == "bullet":
        text("\u2022")
        command(TAB)
    lines = content.split("\n")
    for index, line in enumerate(lines):
        if index:
            command(LINE_BREAK)
        position = 0
        for match in LINK.finditer(line):
            text(line[position:match.start()])
            command(TOPIC_JUMP, u32(context_hash(match.group(1))))
            text(match.group(2) or titles[match.group(1).lower()])
            command(END_OF_LINK)
            position = match.end()
        text(line[position:])
    command(END_OF_PARAGRAPH)
    commands.append(END_OF_FORMAT)

    # Each distance present sets its bit and follows in this order.
    bits = 0
    fields = b""
    for bit, value in ((0x0002, above), (0x0004, below), (0x0010, indent), (0x0040, first_line)):
        if value:
            bits |= bit
            fields += compressed_short(value)
    if tab is not None:
        bits |= 0x0200
        fields += compressed_short(1) + compressed_ushort(tab)

    data2 = b"\0".join(strings) + b"\0"
    data1 = (compressed_long(len(data2)) + compressed_ushort(characters) + bytes([0x00, 0x80]) +
             u16(0) + u16(bits) + fields + bytes(commands))
    return data1, data2


# --------------------------------------------------------------- the |TOPIC

TOPIC_BLOCK = 4096  # bytes of a topic block in the file, header included
BLOCK_HEADER = 12
# The blocks are LZ77 streams of literals only: each flag byte is followed by
# eight literal bytes, so a block of 4084 stream bytes carries 3630 bytes of
# topic data.
BLOCK_DATA = (TOPIC_BLOCK - BLOCK_HEADER) // 9 * 8 + (TOPIC_BLOCK - BLOCK_HEADER) % 9 - 1
LINK_HEADER = 21
NOWHERE = 0xFFFFFFFF


class Record:
    def __init__(self, kind, data1, data2):
        self.kind = kind  # 2 heads a topic, 0x20 holds text
        self.data1 = data1
        self.data2 = data2
        self.block = self.offset = None

    def size(self):
        return LINK_HEADER + len(self.data1) + len(self.data2)

    def position(self):
        return self.block * 0x4000 + BLOCK_HEADER + self.offset


TOPIC_HEADER_SIZE = 28


def lay_out(topics):
    """Places every record in the topic blocks. Each topic starts a block, so
    its topic offset is its block number times 0x8000, however a viewer counts
    the characters within a block; no record crosses a block."""
    records = []
    block, used = -1, BLOCK_DATA

    def place(record, new_block=False):
        nonlocal block, used
        if record.size() > BLOCK_DATA:
            raise SourceError("a paragraph of %d bytes does not fit a topic block" % record.size())
        if new_block and used or used + record.size() > BLOCK_DATA:
            block, used = block + 1, 0
        record.block, record.offset = block, used
        used += record.size()
        records.append(record)

    titles = {topic.context.lower(): topic.title for topic in topics}
    heads = []
    for topic in topics:
        head = Record(2, bytes(TOPIC_HEADER_SIZE), encode_text(topic.title))
        heads.append(head)
        place(head, new_block=True)
        topic.records = [head]
        for style, content in [("title", topic.title)] + topic.paragraphs:
            record = Record(0x20, *paragraph_record(style, content, titles))
            place(record)
            topic.records.append(record)
    # The list of records ends with one that holds nothing.
    place(Record(0x20, *paragraph_record("body", "", titles)))
    for topic in topics:
        topic.offset = topic.records[0].block * 0x8000

    for number, (topic, head) in enumerate(zip(topics, heads)):
        following = heads[number + 1].position() if number + 1 < len(heads) else NOWHERE
        head.data1 = (u32(sum(record.size() for record in topic.records)) + u32(NOWHERE) +
                      u32(NOWHERE) + u32(number) + u32(NOWHERE) + u32(topic.records[1].position()) +
                      u32(following))
    return records, block + 1


def literal_stream(data):
    out = bytearray()
    for start in range(0, len(data), 8):
        out.append(0)
        out.extend(data[start:start + 8])
    return bytes(out)


def topic_file(topics):
    records, block_count = lay_out(topics)
    blocks = [bytearray() for _ in range(block_count)]
    for index, record in enumerate(records):
        previous = records[index - 1].position() if index else NOWHERE
        following = records[index + 1].position() if index + 1 < len(records) else NOWHERE
        header = (u32(record.size()) + u32(len(record.data2)) + u32(previous) + u32(following) +
                  u32(LINK_HEADER + len(record.data1)) + bytes([record.kind]))
        assert len(blocks[record.block]) == record.offset
        blocks[record.block] += header + record.data1 + record.data2

    data = bytearray()
    last_head = NOWHERE
    for number, content in enumerate(blocks):
        in_block = [record for record in records if record.block == number]
        before = [record for record in records if record.block < number]
        header = (u32(before[-1].position() if before else NOWHERE) + u32(in_block[0].position()) +
                  u32(last_head))
        heads = [record for record in in_block if record.kind == 2]
        if heads:
            last_head = heads[-1].position()
        if number + 1 < block_count:
            content = content.ljust(BLOCK_DATA, b"\0")
        else:
            content = content.ljust(64, b"\0")  # a last block is never tiny
        stream = literal_stream(bytes(content))
        assert len(stream) <= TOPIC_BLOCK - BLOCK_HEADER
        data += header + stream
    return bytes(data)


# ------------------------------------------------------------------- B+ trees


def btree(entries, structure, page_size, flags=0x0002):
    """A B+ tree of one leaf page holding the entries, already in order."""
    body = b"".join(entries)
    if 8 + len(body) > page_size:
        raise SourceError("too many entries for one B+ tree page (%s)" % structure)
    page = u16(page_size - 8 - len(body)) + s16(len(entries)) + s16(-1) + s16(-1) + body
    header = (u16(0x293B) + u16(flags) + u16(page_size) + structure.encode("ascii").ljust(16, b"\0") +
              s16(0) + s16(0) + s16(0) + s16(-1) + s16(1) + s16(1) + struct.pack("<i", len(entries)))
    return header + page.ljust(page_size, b"\0")


def context_file(topics):
    pairs = sorted((context_hash(topic.context), topic.offset) for topic in topics)
    return btree([struct.pack("<iI", h, offset) for h, offset in pairs], "L4", 0x800)


def context_map_file(topics):
    mapped = sorted((topic.map_id, topic.offset) for topic in topics if topic.map_id is not None)
    return u16(len(mapped)) + b"".join(struct.pack("<iI", i, offset) for i, offset in mapped)


def title_file(topics):
    pairs = sorted((topic.offset, topic.title) for topic in topics)
    return btree([u32(offset) + encode_text(title) + b"\0" for offset, title in pairs], "Lz", 0x800)


def system_file(title, contents_offset):
    minor, flags = 33, 4  # WinHelp 4, topic blocks of 4 KB in LZ77 form
    data = u16(0x036C) + u16(minor) + u16(1) + u32(0) + u16(flags)

    def record(kind, payload):
        return u16(kind) + u16(len(payload)) + payload

    data += record(1, encode_text(title) + b"\0")
    data += record(3, u32(contents_offset))
    # The main window, named so that its caption is the title: 90 bytes of
    # flags (name and caption given), type, name, caption, then position,
    # size, state and colours, which are left to the viewer.
    window = u16(0x0002 | 0x0004) + bytes(10) + b"main".ljust(9, b"\0")
    window += encode_text(title)[:50].ljust(51, b"\0") + bytes(10) + bytes(8)
    data += record(6, window)
    return data


# --------------------------------------------------------- the file system


def help_file(internal_files):
    """The help file: header, the internal files, then their directory."""
    out = bytearray(16)
    offsets = {}
    for name, content in internal_files:
        offsets[name] = len(out)
        out += u32(9 + len(content)) + u32(len(content)) + bytes([4]) + content
    names = sorted(offsets, key=lambda name: name.encode("ascii"))
    directory = btree([name.encode("ascii") + b"\0" + u32(offsets[name]) for name in names], "z4",
                      0x400, flags=0x0402)
    directory_at = len(out)
    out += u32(9 + len(directory)) + u32(len(directory)) + bytes([4]) + directory
    out[0:16] = u32(0x00035F3F) + u32(directory_at) + u32(NOWHERE) + u32(len(out))
    return bytes(out)


def build(source_text, header_text):
    title, topics = parse_source(source_text, help_ids(header_text))
    check_topics(topics)
    topics_data = topic_file(topics)
    return help_file([
        ("|SYSTEM", system_file(title, topics[0].offset)),
        ("|TOPIC", topics_data),
        ("|FONT", font_file()),
        ("|CONTEXT", context_file(topics)),
        ("|CTXOMAP", context_map_file(topics)),
        ("|TTLBTREE", title_file(topics)),
    ])


def main(argv):
    if len(argv) != 4:
        sys.stderr.write("usage: make_help.py SOURCE.txt RESOURCE.h OUTPUT.hlp\n")
        return 2
    with open(argv[1], encoding="utf-8-sig") as source:
        text = source.read()
    with open(argv[2], encoding="utf-8") as header:
        header_text = header.read()
    try:
        data = build(text, header_text)
    except (SourceError, UnicodeEncodeError) as error:
        sys.stderr.write("%s: %s\n" % (argv[1], error))
        return 1
    with open(argv[3], "wb") as output:
        output.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
