// The NE resource walk compared with an independent reader: for every generated
// NE image, what EnumNeResources delivers for a type (names, data positions,
// sizes, order) must be what wrestool -l listed for that type at build time.
//
// Known differences, each checked by reading the bytes:
// - wrestool prints the type's text as the name of a resource whose type and
//   name are both texts (ne-kinds.exe: "AVI"/"NOSOUND" is listed as 'AVI'/'AVI';
//   its table entry points at the counted text "NOSOUND"). Such a name is only
//   required to be a text.
// - wrestool lists every type entry; the walk stops at the first that matches,
//   also when it is empty (ne-empty-type.exe, ne-repeated-type.exe).
// - On a damaged table the walk ends at the first entry out of bounds and
//   delivers what precedes it; wrestool skips a resource whose data is out of
//   bounds and goes on, drops a whole type for a bad resource name, and refuses
//   the file for a bad type name or a cut table (each with "premature end").
//   Those images are compared with the listing of the undamaged image they were
//   made from, and with wrestool's own listing where both deliver a resource.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/executables/NeResources.h"
#include "listing/WrestoolListing.h"

namespace {

std::string FixtureFile(const std::string& name) {
    return std::string(VANTREL_FIXTURE_DIR) + "/" + name;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>());
}

struct Delivered {
    ListedName name;
    size_t offset;
    uint32_t size;
};

struct WalkResult {
    const uint8_t* base;
    std::vector<Delivered> delivered;
};

int Collect(ResName name, const uint8_t* data, uint32_t size, void* user) {
    WalkResult* result = static_cast<WalkResult*>(user);
    Delivered item;
    item.name.isText = !IsIntResName(name);
    item.name.id = item.name.isText ? 0 : ResNameId(name);
    item.name.text = item.name.isText ? std::string(name) : std::string();
    item.offset = static_cast<size_t>(data - result->base);
    item.size = size;
    result->delivered.push_back(item);
    return 1;
}

struct NeFile {
    std::vector<uint8_t> bytes;
    MappedNeImage image;
    bool located;
};

NeFile LoadNeFile(const std::string& name) {
    NeFile file;
    file.bytes = ReadBytes(FixtureFile(name));
    file.image = MappedNeImage{};
    file.located = !file.bytes.empty() &&
                   LocateNeResourceTable(file.bytes.data(), file.bytes.size(), &file.image);
    return file;
}

std::vector<Delivered> Walk(const NeFile& file, const ListedName& type) {
    WalkResult result = {file.bytes.data(), {}};
    ResName wanted = type.isText ? type.text.c_str() : MakeIntResName(type.id);
    EnumNeResources(file.image, wanted, Collect, &result);
    return result.delivered;
}

std::vector<ListedResource> Listing(const std::string& name) {
    std::vector<ListedResource> listing;
    EXPECT_TRUE(ReadWrestoolListing(FixtureFile(name + ".wrestool"), &listing)) << name;
    return listing;
}

// The types to ask for: those the page asks for, then any other the listing has.
std::vector<ListedName> TypesToCompare(const std::vector<ListedResource>& listing) {
    std::vector<ListedName> types = {{false, 14, ""}, {false, 12, ""}, {false, 2, ""},
                                     {false, 6, ""},  {false, 1, ""},  {false, 3, ""},
                                     {true, 0, "AVI"}};
    for (const ListedResource& resource : listing) {
        bool known = false;
        for (const ListedName& type : types)
            known = known || SameListedName(type, resource.type);
        if (!known)
            types.push_back(resource.type);
    }
    return types;
}

std::vector<ListedResource> OfType(const std::vector<ListedResource>& listing,
                                   const ListedName& type) {
    std::vector<ListedResource> selected;
    for (const ListedResource& resource : listing) {
        if (SameListedName(resource.type, type))
            selected.push_back(resource);
    }
    return selected;
}

void ExpectSameResource(const ListedResource& listed, const Delivered& walked) {
    if (listed.type.isText && listed.name.isText && listed.name.text == listed.type.text) {
        EXPECT_TRUE(walked.name.isText) << "listed as " << DescribeListedName(listed.name);
    } else {
        EXPECT_TRUE(SameListedName(listed.name, walked.name))
            << "listed " << DescribeListedName(listed.name) << ", walked "
            << DescribeListedName(walked.name);
    }
    EXPECT_EQ(listed.offset, walked.offset) << DescribeListedName(listed.name);
    EXPECT_EQ(listed.size, walked.size) << DescribeListedName(listed.name);
}

// The walk of each type must deliver the first `count` resources the listing
// gives for it (all of them when count is negative), in the same order.
struct Expectation {
    ListedName type;
    int count;
};

void CompareWithListing(const NeFile& file, const std::vector<ListedResource>& listing,
                        const std::vector<Expectation>& exceptions) {
    ASSERT_TRUE(file.located);
    for (const ListedName& type : TypesToCompare(listing)) {
        SCOPED_TRACE("type " + DescribeListedName(type));
        std::vector<ListedResource> listed = OfType(listing, type);
        for (const Expectation& exception : exceptions) {
            if (SameListedName(exception.type, type))
                listed.resize(exception.count);
        }
        std::vector<Delivered> walked = Walk(file, type);
        ASSERT_EQ(listed.size(), walked.size());
        for (size_t i = 0; i < listed.size(); ++i)
            ExpectSameResource(listed[i], walked[i]);
    }
}

const ListedName kIconGroups = {false, 14, ""};
const ListedName kIconImages = {false, 3, ""};
const ListedName kClips = {true, 0, "AVI"};

TEST(NeWrestool, AgreesOnEveryTypeOfWellFormedImages) {
    std::vector<std::string> names = {"ne-kinds.exe", "ne-damage-base.exe"};
    for (int shift = 1; shift <= 9; ++shift)
        names.push_back("ne-shift" + std::to_string(shift) + ".exe");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::vector<ListedResource> listing = Listing(name);
        ASSERT_FALSE(listing.empty());
        CompareWithListing(LoadNeFile(name), listing, {});
    }
}

TEST(NeWrestool, KindsImageListsEveryKindWithRoundedSizes) {
    // Guards the comparison itself: the listing really holds what the generator
    // meant to write, so an agreement above is not an agreement on nothing.
    std::vector<ListedResource> listing = Listing("ne-kinds.exe");
    EXPECT_EQ(4u, OfType(listing, kIconGroups).size());
    EXPECT_EQ(3u, OfType(listing, kIconImages).size());
    EXPECT_EQ(4u, OfType(listing, kClips).size());
    EXPECT_EQ(1u, OfType(listing, ListedName{true, 0, "avi"}).size());
    for (const ListedResource& resource : listing)
        EXPECT_EQ(0u, resource.size % 16);
    std::vector<ListedResource> groups = OfType(listing, kIconGroups);
    EXPECT_EQ("APPICON", groups[1].name.text);
    EXPECT_TRUE(groups[2].name.isText);
    EXPECT_EQ("", groups[2].name.text);
}

TEST(NeWrestool, WalkStopsAtTheFirstMatchingTypeEntry) {
    // wrestool lists both icon group entries; the walk sees only the first.
    SCOPED_TRACE("ne-empty-type.exe");
    CompareWithListing(LoadNeFile("ne-empty-type.exe"), Listing("ne-empty-type.exe"),
                       {{kIconGroups, 0}});
    SCOPED_TRACE("ne-repeated-type.exe");
    std::vector<ListedResource> repeated = Listing("ne-repeated-type.exe");
    ASSERT_EQ(4u, OfType(repeated, kIconGroups).size());
    CompareWithListing(LoadNeFile("ne-repeated-type.exe"), repeated, {{kIconGroups, 1}});
}

TEST(NeWrestool, DamagedTablesDeliverWhatPrecedesTheDamage) {
    struct Case {
        const char* name;
        std::vector<Expectation> expected;
    };
    // Each damage is written in place into ne-damage-base.exe, so the undamaged
    // listing gives the positions; the second icon group (of three) is damaged
    // unless said otherwise.
    const Case cases[] = {
        {"ne-bad-data-offset.exe", {{kIconGroups, 1}}},
        {"ne-bad-data-length.exe", {{kIconGroups, 1}}},
        {"ne-bad-name-offset.exe", {{kIconGroups, 1}}},
        {"ne-bad-type-name.exe", {{kClips, 0}}},  // only the clip type is skipped
        // Cut inside the icon group entries: every data block lies past the end.
        {"ne-truncated.exe", {{kIconImages, 0}, {kIconGroups, 0}, {kClips, 0}}},
    };
    std::vector<ListedResource> base = Listing("ne-damage-base.exe");
    ASSERT_EQ(3u, OfType(base, kIconGroups).size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NeFile file = LoadNeFile(c.name);
        CompareWithListing(file, base, c.expected);
        // wrestool goes on past a resource whose data is out of bounds (it lists
        // groups 1 and 3), drops a whole type for a bad resource name, and gives
        // up on a bad type name or a cut table. Whatever both deliver must agree.
        std::vector<ListedResource> damaged;
        ASSERT_TRUE(ReadWrestoolListing(FixtureFile(std::string(c.name) + ".wrestool"), &damaged));
        for (const ListedName& type : TypesToCompare(base)) {
            for (const Delivered& walked : Walk(file, type)) {
                for (const ListedResource& listed : OfType(damaged, type)) {
                    if (SameListedName(listed.name, walked.name)) {
                        ExpectSameResource(listed, walked);
                    }
                }
            }
        }
    }
}

TEST(NeWrestool, HeaderEdges) {
    // wrestool refuses all four; the reader accepts a table whose alignment word
    // lies inside, as the target check does, and finds nothing in it.
    EXPECT_FALSE(LoadNeFile("ne-size-64.exe").located);
    EXPECT_FALSE(LoadNeFile("ne-header-near-end.exe").located);
    NeFile atEnd = LoadNeFile("ne-table-at-end.exe");
    ASSERT_TRUE(atEnd.located);
    EXPECT_TRUE(Walk(atEnd, kIconGroups).empty());
    NeFile oneAfter = LoadNeFile("ne-table-one-after.exe");
    ASSERT_TRUE(oneAfter.located);
    EXPECT_TRUE(Walk(oneAfter, kIconGroups).empty());
}

}  // namespace
