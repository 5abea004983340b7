// Builds NE images in memory for the reader's tests: an MZ stub whose e_lfanew
// is 0x40, a 64-byte NE header, the resource table at 0x80 (types, the zero
// terminator, the names), then each resource's bytes aligned to the unit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/bytes/LittleEndian.h"

struct NeTestName {
    bool isText;
    uint16_t id;  // without bit 15
    std::string text;
};

inline NeTestName NeId(uint16_t id) {
    return NeTestName{false, id, std::string()};
}
inline NeTestName NeText(const std::string& text) {
    return NeTestName{true, 0, text};
}

struct NeTestResource {
    NeTestName name;
    std::vector<uint8_t> data;  // length rounded up to the unit in the table
};

struct NeTestType {
    NeTestName name;
    std::vector<NeTestResource> resources;
};

const size_t kNeTestHeader = 0x40;
const size_t kNeTestTable = 0x80;

// File offset of resource entry r of type entry t.
inline size_t NeResourceEntryOffset(const std::vector<NeTestType>& types, size_t t, size_t r) {
    size_t at = kNeTestTable + 2;
    for (size_t i = 0; i < t; ++i)
        at += 8 + 12 * types[i].resources.size();
    return at + 8 + 12 * r;
}

inline size_t NeTypeEntryOffset(const std::vector<NeTestType>& types, size_t t) {
    return NeResourceEntryOffset(types, t, 0) - 8;
}

inline std::vector<uint8_t> BuildNeImage(const std::vector<NeTestType>& types, uint16_t shift) {
    std::vector<uint8_t> bytes(kNeTestTable, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    PokeU32(&bytes[0x3C], kNeTestHeader);
    PokeU16(&bytes[kNeTestHeader], 0x454E);
    PokeU16(&bytes[kNeTestHeader + 0x24], static_cast<uint16_t>(kNeTestTable - kNeTestHeader));

    size_t entriesSize = 2 + 2;
    for (const NeTestType& type : types)
        entriesSize += 8 + 12 * type.resources.size();
    bytes.resize(kNeTestTable + entriesSize, 0);
    PokeU16(&bytes[kNeTestTable], shift);

    auto nameField = [&bytes](const NeTestName& name) -> uint16_t {
        if (!name.isText)
            return static_cast<uint16_t>(name.id | 0x8000);
        uint16_t offset = static_cast<uint16_t>(bytes.size() - kNeTestTable);
        bytes.push_back(static_cast<uint8_t>(name.text.size()));
        bytes.insert(bytes.end(), name.text.begin(), name.text.end());
        return offset;
    };
    size_t unit = size_t{1} << (shift & 31);
    std::vector<size_t> dataFields;  // entry offsets whose data is placed below
    size_t at = kNeTestTable + 2;
    for (const NeTestType& type : types) {
        PokeU16(&bytes[at], nameField(type.name));
        PokeU16(&bytes[at + 2], static_cast<uint16_t>(type.resources.size()));
        at += 8;
        for (const NeTestResource& resource : type.resources) {
            PokeU16(&bytes[at + 6], nameField(resource.name));
            dataFields.push_back(at);
            at += 12;
        }
    }
    size_t index = 0;
    for (const NeTestType& type : types) {
        for (const NeTestResource& resource : type.resources) {
            bytes.resize((bytes.size() + unit - 1) / unit * unit, 0);
            size_t entry = dataFields[index++];
            PokeU16(&bytes[entry], static_cast<uint16_t>(bytes.size() / unit));
            PokeU16(&bytes[entry + 2],
                    static_cast<uint16_t>((resource.data.size() + unit - 1) / unit));
            bytes.insert(bytes.end(), resource.data.begin(), resource.data.end());
            bytes.resize(bytes.size() + (unit - resource.data.size() % unit) % unit, 0);
        }
    }
    bytes.push_back(0);  // the table is never the last bytes of the file
    return bytes;
}
