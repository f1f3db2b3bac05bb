// Reads a WinHelp file the way a help viewer does: its directory of internal
// files, the title and contents topic from |SYSTEM, the topics of |TOPIC with
// their texts and jumps, and the look-ups that lead to a topic (|CONTEXT by
// context name hash, |CTXOMAP by context id, |TTLBTREE by offset).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace help_reader {

struct Topic {
    uint32_t offset = 0;  // topic offset: block number * 0x8000 + characters before it
    std::string title;
    std::string text;             // the displayed strings, paragraphs ended by '\n'
    std::vector<int32_t> jumps;   // context name hashes of the topic's jumps
    std::vector<uint16_t> fonts;  // font numbers the topic's text selects
};

struct HelpFile {
    bool valid = false;
    std::string problem;  // why the file could not be read
    uint32_t declaredSize = 0;
    std::map<std::string, std::vector<uint8_t>> files;  // internal files by name
    uint16_t systemMinor = 0;
    uint16_t systemFlags = 0;
    std::string title;
    uint32_t contentsOffset = 0xFFFFFFFF;
    std::vector<Topic> topics;
    std::map<int32_t, uint32_t> contextHashes;  // |CONTEXT: hash -> topic offset
    std::map<int32_t, uint32_t> contextIds;     // |CTXOMAP: id -> topic offset
    std::map<uint32_t, std::string> titles;     // |TTLBTREE: offset -> title
    uint16_t fontCount = 0;

    const Topic* TopicAt(uint32_t offset) const;
};

HelpFile ReadHelpFile(const std::string& path);

}  // namespace help_reader
