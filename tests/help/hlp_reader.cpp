#include "hlp_reader.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace help_reader {
namespace {

using Bytes = std::vector<uint8_t>;

struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Require(bool condition, const std::string& what) {
    if (!condition) throw ReadError(what);
}

uint16_t U16(const Bytes& data, size_t at) {
    Require(at + 2 <= data.size(), "read past the end");
    return static_cast<uint16_t>(data[at] | data[at + 1] << 8);
}

uint32_t U32(const Bytes& data, size_t at) {
    return U16(data, at) | static_cast<uint32_t>(U16(data, at + 2)) << 16;
}

// The content of the internal file whose FILEHEADER starts at offset.
Bytes InternalFile(const Bytes& file, uint32_t offset) {
    uint32_t reserved = U32(file, offset);
    uint32_t used = U32(file, offset + 4);
    Require(used + 9 <= reserved && offset + uint64_t{reserved} <= file.size(),
            "an internal file does not fit the help file");
    return Bytes(file.begin() + offset + 9, file.begin() + offset + 9 + used);
}

// The leaf entries of a B+ tree, in order; entrySize tells where each ends.
template <typename EntrySize>
std::vector<Bytes> LeafEntries(const Bytes& tree, EntrySize entrySize) {
    Require(U16(tree, 0) == 0x293B, "a B+ tree without its magic number");
    uint16_t pageSize = U16(tree, 4);
    uint16_t page = U16(tree, 26);
    int16_t levels = static_cast<int16_t>(U16(tree, 32));
    const size_t pages = 38;
    for (int level = 1; level < levels; ++level) page = U16(tree, pages + page * pageSize + 4);
    std::vector<Bytes> entries;
    while (page != 0xFFFF) {
        size_t at = pages + size_t{page} * pageSize;
        int16_t count = static_cast<int16_t>(U16(tree, at + 2));
        size_t entry = at + 8;
        for (int i = 0; i < count; ++i) {
            size_t size = entrySize(tree, entry);
            Require(entry + size <= at + pageSize, "a B+ tree entry runs past its page");
            entries.emplace_back(tree.begin() + entry, tree.begin() + entry + size);
            entry += size;
        }
        page = U16(tree, at + 6);
    }
    Require(entries.size() == U32(tree, 34), "a B+ tree holds another number of entries");
    return entries;
}

size_t StringEnd(const Bytes& data, size_t at) {
    size_t end = at;
    while (end < data.size() && data[end] != 0) ++end;
    Require(end < data.size(), "a string without its terminator");
    return end;
}

std::string StringAt(const Bytes& data, size_t at) {
    return std::string(data.begin() + at, data.begin() + StringEnd(data, at));
}

Bytes Lz77(const uint8_t* in, const uint8_t* end) {
    Bytes out;
    while (in < end) {
        int flags = *in++;
        for (int bit = 0; bit < 8 && in < end; ++bit, flags >>= 1) {
            if (flags & 1) {
                Require(in + 2 <= end, "a cut LZ77 reference");
                int code = in[0] | in[1] << 8;
                in += 2;
                size_t distance = (code & 0xFFF) + 1;
                Require(distance <= out.size(), "an LZ77 reference before the start");
                for (int n = 3 + (code >> 12); n > 0; --n)
                    out.push_back(out[out.size() - distance]);
            } else {
                out.push_back(*in++);
            }
        }
    }
    return out;
}

// LinkData1 numbers in their compressed forms.
struct Cursor {
    const Bytes& data;
    size_t at;

    uint8_t Byte() {
        Require(at < data.size(), "LinkData1 ends early");
        return data[at++];
    }
    uint16_t Word() {
        uint16_t value = U16(data, at);
        at += 2;
        return value;
    }
    uint32_t UShort() {
        if (!(data.at(at) & 1)) return Byte() / 2u;
        return Word() / 2u;
    }
    int32_t Short() {
        if (!(data.at(at) & 1)) return Byte() / 2 - 64;
        return Word() / 2 - 16384;
    }
    int32_t Long() {
        if (!(data.at(at) & 1)) return Word() / 2 - 16384;
        uint32_t value = U32(data, at);
        at += 4;
        return static_cast<int32_t>(value / 2) - 0x40000000;
    }
};

// The parts of one TOPICLINK.
struct Link {
    uint32_t next = 0;
    uint8_t kind = 0;
    Bytes data1;  // LinkData1 behind the 21-byte header
    Bytes data2;
};

struct TopicBlocks {
    std::vector<Bytes> blocks;  // decompressed
    uint32_t decompressSize = 0;

    // The bytes from a topic position on, running on into the next blocks.
    Bytes From(uint32_t position, size_t count) const {
        Require(position >= 12, "a topic position before the first link");
        size_t block = (position - 12) / decompressSize;
        size_t offset = (position - 12) % decompressSize;
        Bytes out;
        while (out.size() < count) {
            Require(block < blocks.size() && offset <= blocks[block].size(),
                    "a topic position past the topic blocks");
            size_t take = std::min(count - out.size(), blocks[block].size() - offset);
            out.insert(out.end(), blocks[block].begin() + offset,
                       blocks[block].begin() + offset + take);
            ++block;
            offset = 0;
        }
        return out;
    }

    Link At(uint32_t position) const {
        Bytes header = From(position, 21);
        uint32_t blockSize = U32(header, 0);
        uint32_t length2 = U32(header, 4);
        uint32_t length1 = U32(header, 16);
        Require(length1 >= 21 && length1 <= blockSize, "a topic link of impossible sizes");
        Require(length2 == blockSize - length1, "phrase-compressed text, which this reader lacks");
        Bytes whole = From(position, blockSize);
        Link link;
        link.next = U32(header, 12);
        link.kind = header[20];
        link.data1.assign(whole.begin() + 21, whole.begin() + length1);
        link.data2.assign(whole.begin() + length1, whole.end());
        return link;
    }
};

TopicBlocks ReadBlocks(const Bytes& topicFile, uint16_t minor, uint16_t flags) {
    bool compressed = minor > 16 && (flags == 4 || flags == 8);
    uint32_t blockSize = minor <= 16 || flags == 8 ? 0x800 : 0x1000;
    TopicBlocks result;
    result.decompressSize = compressed ? 0x4000 : blockSize - 12;
    for (size_t at = 0; at < topicFile.size(); at += blockSize) {
        const uint8_t* begin = topicFile.data() + at + 12;
        const uint8_t* end = topicFile.data() + std::min<size_t>(at + blockSize, topicFile.size());
        Require(begin <= end, "a topic block shorter than its header");
        result.blocks.push_back(compressed ? Lz77(begin, end) : Bytes(begin, end));
        Require(result.blocks.back().size() <= result.decompressSize,
                "a topic block holds more than a block may");
    }
    return result;
}

// Reads the paragraph information and the formatting commands of a text
// record into the topic; returns the record's character count.
uint32_t ReadParagraphs(const Link& link, Topic& topic) {
    Require(link.kind == 0x20, "a topic record of a kind this reader lacks");
    Cursor format{link.data1, 0};
    format.Long();  // TopicSize
    uint32_t characters = format.UShort();
    format.at += 4;  // two unknown bytes and the paragraph id
    uint16_t bits = format.Word();
    if (bits & 0x0001) format.Long();
    for (uint16_t field : {0x0002, 0x0004, 0x0008, 0x0010, 0x0020, 0x0040})
        if (bits & field) format.Short();
    if (bits & 0x0100) {
        format.Byte();
        format.Word();
    }
    if (bits & 0x0200) {
        for (int32_t tabs = format.Short(); tabs > 0; --tabs)
            if (format.UShort() & 0x4000) format.UShort();
    }
    size_t text = 0;
    for (;;) {
        size_t end = StringEnd(link.data2, text);
        topic.text.append(link.data2.begin() + text, link.data2.begin() + end);
        text = end + 1;
        uint8_t command = format.Byte();
        if (command == 0xFF) break;
        switch (command) {
            case 0x80:
                topic.fonts.push_back(format.Word());
                break;
            case 0x81:
            case 0x82:
                topic.text += '\n';
                break;
            case 0x83:
                topic.text += '\t';
                break;
            case 0x89:
            case 0x8B:
            case 0x8C:
                break;
            case 0xE0:
            case 0xE1:
            case 0xE2:
            case 0xE3:
            case 0xE6:
            case 0xE7:
                topic.jumps.push_back(static_cast<int32_t>(U32(link.data1, format.at)));
                format.at += 4;
                break;
            default:
                throw ReadError("a formatting command this reader lacks");
        }
    }
    return characters;
}

void ReadTopics(HelpFile& help) {
    TopicBlocks blocks = ReadBlocks(help.files.at("|TOPIC"), help.systemMinor, help.systemFlags);
    uint32_t position = 12;
    size_t countBlock = 0;
    uint32_t characters = 0;  // in the current block, before the record
    size_t links = 0;
    while (position != 0xFFFFFFFF && position != 0) {
        Require(++links < 100000, "the topic links run in a circle");
        Link link = blocks.At(position);
        size_t block = (position - 12) / blocks.decompressSize;
        if (block != countBlock) characters = 0, countBlock = block;
        if (link.kind == 2) {
            Topic topic;
            topic.offset = static_cast<uint32_t>(block * 0x8000 + characters);
            topic.title.assign(link.data2.begin(), link.data2.end());
            topic.title = topic.title.c_str();  // macros may follow the title
            help.topics.push_back(topic);
        } else if (!help.topics.empty()) {
            characters += ReadParagraphs(link, help.topics.back());
        }
        position = link.next;
    }
}

void ReadSystem(HelpFile& help) {
    const Bytes& system = help.files.at("|SYSTEM");
    Require(U16(system, 0) == 0x036C && U16(system, 4) == 1, "|SYSTEM without its magic number");
    help.systemMinor = U16(system, 2);
    help.systemFlags = U16(system, 10);
    Require(help.systemMinor > 16, "a help file older than Windows 3.1");
    for (size_t at = 12; at + 4 <= system.size(); at += 4 + U16(system, at + 2)) {
        uint16_t kind = U16(system, at);
        if (kind == 1) help.title = StringAt(system, at + 4);
        if (kind == 3) help.contentsOffset = U32(system, at + 4);
    }
}

void ReadLookups(HelpFile& help) {
    for (const Bytes& entry :
         LeafEntries(help.files.at("|CONTEXT"), [](const Bytes&, size_t) { return size_t{8}; }))
        help.contextHashes[static_cast<int32_t>(U32(entry, 0))] = U32(entry, 4);
    const Bytes& map = help.files.at("|CTXOMAP");
    for (size_t i = 0, count = U16(map, 0); i < count; ++i)
        help.contextIds[static_cast<int32_t>(U32(map, 2 + i * 8))] = U32(map, 6 + i * 8);
    for (const Bytes& entry :
         LeafEntries(help.files.at("|TTLBTREE"),
                     [](const Bytes&tree, size_t at) { return StringEnd(tree, at + 4) + 1 - at; }))
        help.titles[U32(entry, 0)] = StringAt(entry, 4);
    help.fontCount = U16(help.files.at("|FONT"), 2);
}

void Read(const Bytes& file, HelpFile& help) {
    Require(file.size() >= 16 && U32(file, 0) == 0x00035F3F, "no help file header");
    help.declaredSize = U32(file, 12);
    Bytes directory = InternalFile(file, U32(file, 4));
    for (const Bytes& entry : LeafEntries(
             directory, [](const Bytes&tree, size_t at) { return StringEnd(tree, at) + 5 - at; })) {
        std::string name = StringAt(entry, 0);
        help.files[name] = InternalFile(file, U32(entry, name.size() + 1));
    }
    for (const char* name : {"|SYSTEM", "|TOPIC", "|FONT", "|CONTEXT", "|CTXOMAP", "|TTLBTREE"})
        Require(help.files.count(name) == 1, std::string("no internal file ") + name);
    ReadSystem(help);
    ReadTopics(help);
    ReadLookups(help);
}

}  // namespace

const Topic* HelpFile::TopicAt(uint32_t offset) const {
    for (const Topic& topic : topics)
        if (topic.offset == offset) return &topic;
    return nullptr;
}

HelpFile ReadHelpFile(const std::string& path) {
    HelpFile help;
    std::ifstream in(path, std::ios::binary);
    Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        Read(file, help);
        help.valid = help.declaredSize == file.size();
        if (!help.valid) help.problem = "the header gives another file size";
    } catch (const std::exception& error) {
        help.problem = error.what();
    }
    return help;
}

}  // namespace help_reader
