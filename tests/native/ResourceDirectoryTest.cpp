// The PE resource walk: what it lists of whole and damaged directories, the
// languages it counts, and the same walk against an independent reader's
// listing of Wine's shell32.dll.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/ResourceDirectory.h"
#include "listing/WrestoolListing.h"
#include "writers/ResourceSectionWriter.h"

namespace {

std::string KeyText(const ResourceKey& key) {
    if (key.text == nullptr)
        return std::to_string(key.id);
    std::string text = "'";
    for (uint32_t i = 0; i < key.length; ++i)
        text += static_cast<char>(PeekU16(key.text + i * 2));
    return text + "'";
}

struct Walked {
    const Bytes* image;
    std::string text;
    uint32_t leaves;
};

int Describe(const ResourceLeaf& leaf, void* user) {
    Walked* walked = static_cast<Walked*>(user);
    char language[8];
    snprintf(language, sizeof language, "%X", leaf.language);
    walked->text += KeyText(leaf.type) + "/" + KeyText(leaf.name) + "/" + language + "=";
    walked->text += leaf.dataInFile
                        ? std::string(walked->image->begin() + leaf.fileOffset,
                                      walked->image->begin() + leaf.fileOffset + leaf.size)
                        : "@";
    walked->text += " ";
    ++walked->leaves;
    return 1;
}

// Every leaf as type/name/language=its bytes ("@" when not in the file).
std::string List(const Bytes& image) {
    PeResourceSection section;
    if (!LocatePeResources(image.data(), image.size(), &section))
        return "none";
    Walked walked = {&image, "", 0};
    const int result = WalkPeResources(section, Describe, &walked);
    return walked.text + (result == 0 ? "" : "result " + std::to_string(result));
}

Bytes Data(const char* text) {
    return Bytes(text, text + strlen(text));
}

const std::vector<SectionResource> kResources = {
    {{"", 3}, {"", 1}, 0x0409, Data("ico1")},
    {{"", 3}, {"", 1}, 0x0411, Data("ico1j")},
    {{"", 6}, {"", 2}, 0x0012, Data("str")},
    {{"AVI", 0}, {"BANNER", 0}, 0, Data("clip")},
};
const char kWhole[] = "3/1/409=ico1 3/1/411=ico1j 6/2/12=str 'AVI'/'BANNER'/0=clip ";

// File offsets of the image's directory entries, found by following it.
const size_t kRoot = kSectionFileOffset;
size_t EntryAt(size_t directory, uint32_t i) {
    return directory + 16 + i * 8;
}
size_t Below(const Bytes& image, size_t entry) {
    return kRoot + (PeekU32(image.data() + entry + 4) & 0x7FFFFFFF);
}
size_t IconNames(const Bytes& image) {
    return Below(image, EntryAt(kRoot, 0));
}
size_t IconLanguages(const Bytes& image) {
    return Below(image, EntryAt(IconNames(image), 0));
}
size_t IconData(const Bytes& image) {
    return Below(image, EntryAt(IconLanguages(image), 0));
}

TEST(ResourceDirectory, BothImageWidthsListEveryLeafWithItsBytes) {
    const Bytes section = MakeResourceSection(kResources, kSectionRva);
    EXPECT_EQ(kWhole, List(MakePeImage(section, false)));
    EXPECT_EQ(kWhole, List(MakePeImage(section, true)));
}

TEST(ResourceDirectory, WhatCannotBeReadSoundlyIsPassedOverWithWhatLiesBelow) {
    const char* withoutIcons = "6/2/12=str 'AVI'/'BANNER'/0=clip ";
    const char* withoutEnglishIcon = "3/1/411=ico1j 6/2/12=str 'AVI'/'BANNER'/0=clip ";
    const char* iconElsewhere = "3/1/409=@ 3/1/411=ico1j 6/2/12=str 'AVI'/'BANNER'/0=clip ";
    const char* withoutClip = "3/1/409=ico1 3/1/411=ico1j 6/2/12=str ";
    using Patch = std::function<void(Bytes&)>;
    const struct {
        const char* what;
        Patch patch;
        const char* listed;
    } cases[] = {
        {"type entry without a directory",
         [](Bytes& b) {
             PutU32(b, EntryAt(kRoot, 0) + 4, PeekU32(&b[EntryAt(kRoot, 0) + 4]) & 0xFFFF);
         },
         withoutIcons},
        {"type pointing at the root",
         [](Bytes& b) { PutU32(b, EntryAt(kRoot, 0) + 4, 0x80000000); }, withoutIcons},
        {"name directory pointing at its parent",
         [](Bytes& b) {
             PutU32(b, EntryAt(IconNames(b), 0) + 4,
                    0x80000000 | static_cast<uint32_t>(IconNames(b) - kRoot));
         },
         withoutIcons},
        {"language entry with a directory",
         [](Bytes& b) { b[EntryAt(IconLanguages(b), 0) + 7] |= 0x80; }, withoutEnglishIcon},
        {"language given as a text", [](Bytes& b) { b[EntryAt(IconLanguages(b), 0) + 3] |= 0x80; },
         withoutEnglishIcon},
        {"data entry past the section",
         [](Bytes& b) {
             PutU32(b, EntryAt(IconLanguages(b), 0) + 4, uint32_t(b.size() - kRoot - 8));
         },
         withoutEnglishIcon},
        {"data outside every section", [](Bytes& b) { PutU32(b, IconData(b), 0x9000); },
         iconElsewhere},
        {"data running past the section", [](Bytes& b) { PutU32(b, IconData(b) + 4, 0x10000); },
         iconElsewhere},
        {"data running past its section into the file",
         [](Bytes& b) {
             const uint32_t room =
                 uint32_t(b.size() - kRoot) - (PeekU32(&b[IconData(b)]) - kSectionRva);
             PutU32(b, IconData(b) + 4, room + 1);
             b.resize(b.size() + 64);
         },
         iconElsewhere},
        {"text name outside the section",
         [](Bytes& b) { PutU32(b, EntryAt(kRoot, 2), 0x80000000 | uint32_t(b.size() - kRoot)); },
         withoutClip},
        {"text name running past the section",
         [](Bytes& b) { PutU16(b, kRoot + (PeekU32(&b[EntryAt(kRoot, 2)]) & 0xFFFF), 0x7FFF); },
         withoutClip},
        {"section cut short by the file's end", [](Bytes& b) { b.resize(IconData(b) + 8); }, ""},
        {"unknown optional header", [](Bytes& b) { PutU16(b, 0x58, 0x107); }, "none"},
        {"no resource directory slot", [](Bytes& b) { PutU32(b, 0x58 + 92, 2); }, "none"},
        {"optional header too small for it", [](Bytes& b) { PutU16(b, 0x54, 96 + 16); }, "none"},
    };
    for (const auto& c : cases) {
        Bytes image = MakePeImage(MakeResourceSection(kResources, kSectionRva), false);
        c.patch(image);
        EXPECT_EQ(c.listed, List(image)) << c.what;
    }
}

TEST(ResourceDirectory, DirectoriesThatShareSubdirectoriesEndAtTheCap) {
    // Each of 1024 types names one directory of 1024 names, each naming one
    // directory of 1024 languages: a billion leaves from 25 KB.
    const uint32_t n = 1024;
    Bytes s;
    for (uint32_t level = 0; level < 3; ++level) {
        const uint32_t next = static_cast<uint32_t>(s.size() + 16 + n * 8);
        AppendBytes(s, Bytes(14, 0));
        AppendU16(s, static_cast<uint16_t>(n));
        for (uint32_t i = 0; i < n; ++i) {
            AppendU32(s, i + 1);
            AppendU32(s, level < 2 ? 0x80000000 | next : next);
        }
    }
    AppendU32(s, kSectionRva);
    AppendU32(s, 4);
    AppendBytes(s, Bytes(8, 0));
    const Bytes image = MakePeImage(s, false);
    PeResourceSection section;
    ASSERT_TRUE(LocatePeResources(image.data(), image.size(), &section));
    Walked walked = {&image, "", 0};
    EXPECT_EQ(-2, WalkPeResources(section, Describe, &walked));
    EXPECT_EQ(kMaxResourceLeaves, walked.leaves);
}

std::string Pairs(const TypeLanguage* pairs, uint32_t count) {
    std::string text;
    for (uint32_t i = 0; i < count; ++i) {
        char pair[32];
        snprintf(pair, sizeof pair, "%u:%X*%u ", pairs[i].type, pairs[i].language, pairs[i].count);
        text += pair;
    }
    return text;
}

TEST(ResourceDirectory, LanguagesAreCountedPerListedType) {
    std::vector<SectionResource> resources = kResources;
    resources.push_back({{"", 3}, {"", 2}, 0x0409, Data("ico2")});
    resources.push_back({{"", 6}, {"", 3}, 0x0409, Data("str")});
    const Bytes image = MakePeImage(MakeResourceSection(resources, kSectionRva), true);
    PeResourceSection section;
    ASSERT_TRUE(LocatePeResources(image.data(), image.size(), &section));
    const ResName types[] = {MakeIntResName(3), "avi", MakeIntResName(6), "AVIS", "AV"};
    TypeLanguage pairs[8];
    uint32_t found = 0;
    EXPECT_EQ(0, CountTypeLanguages(section, types, 5, pairs, 8, &found));
    EXPECT_EQ("0:409*2 0:411*1 1:0*1 2:12*1 2:409*1 ", Pairs(pairs, found));
    uint16_t languages[3];
    ASSERT_EQ(3u, DistinctLanguages(pairs, found, languages, 3));
    EXPECT_EQ(0x0000, languages[0]);
    EXPECT_EQ(0x0012, languages[1]);
    EXPECT_EQ(0x0409, languages[2]);

    EXPECT_EQ(-2, CountTypeLanguages(section, types, 5, pairs, 2, &found));
    EXPECT_EQ("0:409*2 0:411*1 ", Pairs(pairs, found));
}

// Known differences from wrestool: it prints the type's text as the name of a
// resource whose type and name are both texts, and gives RVAs as offsets.
TEST(ResourceDirectory, WalkOfShell32MatchesWrestool) {
    const std::string fixtures = VANTREL_FIXTURE_DIR;
    std::vector<ListedResource> listing;
    ASSERT_TRUE(ReadWrestoolListing(fixtures + "/shell32.dll.wrestool", &listing));
    std::ifstream file("/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll", std::ios::binary);
    const Bytes image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    PeResourceSection section;
    ASSERT_TRUE(LocatePeResources(image.data(), image.size(), &section));
    struct Compare {
        const std::vector<ListedResource>* listing;
        size_t at;
    } compare = {&listing, 0};
    const auto check = [](const ResourceLeaf& leaf, void* user) -> int {
        Compare* c = static_cast<Compare*>(user);
        if (c->at >= c->listing->size()) {
            ADD_FAILURE() << "more leaves than wrestool lists";
            return 0;
        }
        const ListedResource& r = (*c->listing)[c->at++];
        EXPECT_EQ(DescribeListedName(r.type), KeyText(leaf.type)) << c->at;
        if (leaf.name.text == nullptr || !r.type.isText) {
            EXPECT_EQ(DescribeListedName(r.name), KeyText(leaf.name)) << c->at;
        }
        EXPECT_TRUE(r.name.isText == (leaf.name.text != nullptr)) << c->at;
        EXPECT_EQ(r.language, leaf.language) << c->at;
        EXPECT_EQ(r.offset, leaf.dataRva) << c->at;
        EXPECT_EQ(r.size, leaf.size) << c->at;
        EXPECT_TRUE(leaf.dataInFile) << c->at;
        return 1;
    };
    EXPECT_EQ(0, WalkPeResources(section, check, &compare));
    EXPECT_EQ(listing.size(), compare.at);
}

}  // namespace
