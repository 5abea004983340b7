// Saved files against the fixture writers' own .ico, .cur and .bmp files: the
// same images must give the same bytes, whichever entries are missing and
// whatever padding a 16-bit file's table adds after each resource.
#include <gtest/gtest.h>

#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/output/SavedFiles.h"
#include "formats/texts/StringBlock.h"
#include "writers/DibWriter.h"
#include "writers/IconWriter.h"
#include "writers/PngWriter.h"
#include "writers/StringBlockWriter.h"

namespace {

std::vector<MemberBytes> Members(const std::vector<Bytes>& images) {
    std::vector<MemberBytes> members;
    for (const Bytes& image : images)
        members.push_back(MemberBytes{image.data(), image.size()});
    return members;
}

// The saved file, or nothing when the plan refuses.
Bytes SaveGroup(const Bytes& directory, bool cursor, bool paddedLengths,
                const std::vector<MemberBytes>& members) {
    SavedIconGroup group = {directory.data(), directory.size(), cursor, paddedLengths};
    IconFilePlan plan;
    if (!PlanGroupFile(group, members.data(), static_cast<uint32_t>(members.size()), &plan))
        return Bytes();
    Bytes file(plan.fileBytes, 0xEE);
    WriteIconFile(group, members.data(), plan, file.data());
    return file;
}

const IconImagePlan kSmall = {16, 16, 4, 1, 0, 0};
const IconImagePlan kLarge = {256, 256, 32, 0, 0, 0};
const IconImagePlan kMedium = {32, 32, 8, 3, 0, 0};

TEST(SavedFiles, IconGroupWithAPngMemberIsTheIcoFileOfItsImages) {
    // The directory's image sizes are wrong on purpose: the file counts bytes.
    Bytes group = MakeIconGroup({{kSmall, 1, 1}, {kLarge, 7, 2}, {kMedium, 0, 3}});
    std::vector<Bytes> images = {MakeIconImage(kSmall), MakePng(256, 256, 0),
                                 MakeIconImage(kMedium)};
    EXPECT_EQ(MakeIconFileOf({kSmall, kLarge, kMedium}, images, false),
              SaveGroup(group, false, false, Members(images)));

    // A member that could not be read is left out and the offsets still chain.
    std::vector<MemberBytes> members = Members(images);
    members[1].data = nullptr;
    EXPECT_EQ(MakeIconFileOf({kSmall, kMedium}, {images[0], images[2]}, false),
              SaveGroup(group, false, false, members));
    // Fewer images than entries: only the entries that have one.
    members.pop_back();
    EXPECT_EQ(MakeIconFileOf({kSmall}, {images[0]}, false),
              SaveGroup(group, false, false, members));

    // One member alone, by its entry.
    SavedIconGroup form = {group.data(), group.size(), false, false};
    IconFilePlan plan;
    MemberBytes third = {images[2].data(), images[2].size()};
    ASSERT_TRUE(PlanMemberFile(form, 2, &third, &plan));
    Bytes single(plan.fileBytes);
    WriteIconFile(form, &third, plan, single.data());
    EXPECT_EQ(MakeIconFileOf({kMedium}, {images[2]}, false), single);
    EXPECT_FALSE(PlanMemberFile(form, 3, &third, &plan));
}

// A 16-bit file's table rounds each length up to its alignment unit.
std::vector<Bytes> Padded(std::vector<Bytes> images, size_t unit) {
    for (Bytes& image : images)
        image.resize((image.size() / unit + 1) * unit, 0xA5);
    return images;
}

TEST(SavedFiles, GroupsFromSixteenBitFilesLeaveTheTablesPaddingOut) {
    // Without padded lengths every stored byte is the image's, as in a PE file.
    std::vector<Bytes> images = {MakeIconImage(kSmall), MakeIconImage(kMedium)};
    std::vector<Bytes> padded = Padded(images, 512);
    Bytes group = MakeIconGroup({{kSmall, 0, 1}, {kMedium, 0, 2}});
    EXPECT_EQ(MakeIconFileOf({kSmall, kMedium}, images, false),
              SaveGroup(group, false, true, Members(padded)));
    EXPECT_EQ(MakeIconFileOf({kSmall, kMedium}, padded, false),
              SaveGroup(group, false, false, Members(padded)));
    // An image whose header cannot be read keeps all of its bytes.
    padded[0][0] = 39;
    EXPECT_EQ(padded[0].size(), PeekU32(&SaveGroup(group, false, true, Members(padded))[6 + 8]));
}

TEST(SavedFiles, CursorGroupsGiveTheRealHeightAndTheHotSpot) {
    const IconImagePlan tall = {32, 48, 32, 2, 5, 40};
    const IconImagePlan wide = {256, 16, 32, 4, 255, 1};
    std::vector<Bytes> resources = {MakeCursorImage(tall), MakeCursorImage(wide)};
    std::vector<Bytes> images = {MakeIconImage(tall), MakeIconImage(wide)};
    Bytes expected = MakeIconFileOf({tall, wide}, images, true);
    // The directory's sides are the image's in both files; a 16-bit file's
    // images carry the table's padding.
    Bytes group = MakeCursorGroup({{tall, 0, 1}, {wide, 0, 2}});
    EXPECT_EQ(expected, SaveGroup(group, true, false, Members(resources)));
    EXPECT_EQ(expected, SaveGroup(group, true, true, Members(Padded(resources, 16))));
    // A directory that disagrees with its images: the images' own sides.
    const IconImagePlan claimed = {16, 16, 32, 2, 5, 40};
    EXPECT_EQ(MakeIconFileOf({tall}, {images[0]}, true),
              SaveGroup(MakeCursorGroup({{claimed, 0, 1}}), true, true, Members({resources[0]})));
    // An image whose header cannot be read: the directory's width and half its height.
    Bytes unreadable = resources[0];
    unreadable[4] = 39;
    Bytes saved = SaveGroup(group, true, false, Members({unreadable}));
    ASSERT_EQ(6u + 16 + unreadable.size() - 4, saved.size());
    EXPECT_EQ(32, saved[6]);
    EXPECT_EQ(48, saved[7]);
    // A cursor image that is no more than its hot spot cannot be saved.
    Bytes hotSpotOnly(resources[0].begin(), resources[0].begin() + 4);
    EXPECT_TRUE(SaveGroup(group, true, false, Members({hotSpotOnly})).empty());
}

TEST(SavedFiles, IconFilesPastTwoGigabytesAreRefused) {
    Bytes group = MakeIconGroup({{kSmall, 0, 1}, {kSmall, 0, 2}});
    uint8_t byte = 0;
    // The plan counts sizes only, so no such image needs to exist.
    const size_t room = 0x7FFFFFFF - 6 - 2 * 16;
    SavedIconGroup form = {group.data(), group.size(), false, false};
    IconFilePlan plan;
    std::vector<MemberBytes> fits = {{&byte, room - 1}, {&byte, 1}};
    EXPECT_TRUE(PlanGroupFile(form, fits.data(), 2, &plan));
    EXPECT_EQ(0x7FFFFFFFu, plan.fileBytes);
    fits[1].size = 2;
    EXPECT_FALSE(PlanGroupFile(form, fits.data(), 2, &plan));
    fits = {{nullptr, 0}, {&byte, 0}};
    EXPECT_FALSE(PlanGroupFile(form, fits.data(), 2, &plan));
}

const DibPlan kHeaderOnly = {4, 4, 24, false, false, 0, 1};

// The saved .bmp file, or nothing when the plan refuses.
Bytes SaveBitmap(const Bytes& dib, bool paddedLength) {
    BmpFilePlan plan;
    if (!PlanBmpFile(dib.data(), dib.size(), paddedLength, &plan))
        return Bytes();
    Bytes file(plan.fileBytes);
    WriteBmpFile(dib.data(), plan, file.data());
    return file;
}

TEST(SavedFiles, BitmapFilesPointAtTheBitsPastTableAndMasks) {
    struct Case {
        DibPlan dib;
        uint32_t headerAndTable;
    };
    const Case cases[] = {
        {{7, 5, 8, true, false, 0, 1}, 12 + 256 * 3},  // core header, 3-byte entries
        {{7, 5, 16, false, true, 0, 2}, 40 + 3 * 4},   // bit-field masks after the header
        {{7, -5, 4, false, false, 3, 3}, 40 + 3 * 4},  // a short table, top-down
    };
    for (const Case& c : cases) {
        Bytes dib = MakePackedDib(c.dib);
        EXPECT_EQ(MakeBmpFile(dib, c.headerAndTable), SaveBitmap(dib, false));
        // A 16-bit file's padding is left out.
        Bytes padded = Padded({dib}, 64)[0];
        EXPECT_EQ(MakeBmpFile(dib, c.headerAndTable), SaveBitmap(padded, true));
        // Bits cut short: saved as stored all the same.
        dib.pop_back();
        EXPECT_EQ(MakeBmpFile(dib, c.headerAndTable), SaveBitmap(dib, true));
    }
}

TEST(SavedFiles, BitmapsThatCannotBeDrawnAreSavedAsTheyAre) {
    // Bits after a 64-byte header of the second OS/2 form, its 4-byte colours,
    // in either row order; the table's padding is shorter than one row.
    for (int32_t height : {2, -2}) {
        Bytes os2 = MakePackedDib({40, height, 8, false, false, 4, 1});
        PutU32(os2, 0, 64);
        os2.insert(os2.begin() + 40, 24, 0);
        EXPECT_EQ(MakeBmpFile(os2, 64 + 4 * 4), SaveBitmap(Padded({os2}, 16)[0], true)) << height;
    }
    // A 40-byte header with alpha bit fields: four masks before the bits.
    Bytes alpha = MakePackedDib({3, 2, 32, false, true, 0, 1});
    PutU32(alpha, 16, 6);
    alpha.insert(alpha.begin() + 40 + 12, {0, 0, 0, 0xFF});
    EXPECT_EQ(MakeBmpFile(alpha, 40 + 4 * 4), SaveBitmap(Padded({alpha}, 16)[0], true));

    // An embedded JPEG stream: depth 0, no table, biSizeImage bytes.
    Bytes jpeg = MakePackedDib({8, 2, 24, false, false, 0, 1});
    jpeg.resize(40 + 10, 0xD8);
    PutU16(jpeg, 14, 0);
    PutU32(jpeg, 16, 4);
    PutU32(jpeg, 20, 10);
    EXPECT_EQ(MakeBmpFile(jpeg, 40), SaveBitmap(Padded({jpeg}, 16)[0], true));

    // A header alone, and bytes that are no header: the file header points past them.
    Bytes header = MakePackedDib(kHeaderOnly);
    header.resize(40);
    EXPECT_EQ(MakeBmpFile(header, 40), SaveBitmap(header, true));
    EXPECT_EQ(MakeBmpFile({1, 2, 3}, 3), SaveBitmap({1, 2, 3}, false));
    EXPECT_TRUE(SaveBitmap({}, false).empty());
}

TEST(SavedFiles, ClipsFromSixteenBitFilesEndWithTheirForm) {
    Bytes clip = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' ', 0xA5, 0xA5};
    EXPECT_EQ(12u, ClipFileBytes(clip.data(), clip.size(), true));
    EXPECT_EQ(14u, ClipFileBytes(clip.data(), clip.size(), false));
    clip[4] = 7;  // a form longer than the bytes: all of them
    EXPECT_EQ(14u, ClipFileBytes(clip.data(), clip.size(), true));
}

TEST(SavedFiles, StringRowsKeepTheirStoredUnits) {
    Bytes pe = MakePeStringBlock({"", "Open?"});
    StoredString strings[kStringsPerBlock];
    ReadPeStringBlock(pe.data(), pe.size(), strings);
    PutU16(pe, strings[1].offset + 8, 0x30AB);  // a unit that no 8-bit text holds
    StringRow wide = {65535, &pe[strings[1].offset], strings[1].length};
    uint32_t size = StringTextStartBytes(false);
    ASSERT_TRUE(PlanStringRow(false, wide, &size));
    ASSERT_TRUE(PlanStringRow(false, wide, &size));
    Bytes file(size);
    size_t at = WriteStringRow(false, wide, file.data(), WriteStringTextStart(false, file.data()));
    EXPECT_EQ(size, WriteStringRow(false, wide, file.data(), at));
    Bytes expected = {0xFF, 0xFE};
    for (int row = 0; row < 2; ++row) {
        for (char c : std::string("65535\tOpen?\r\n"))
            AppendU16(expected, c == '?' ? 0x30AB : static_cast<uint16_t>(c));
    }
    EXPECT_EQ(expected, file);

    Bytes ne = MakeNeStringBlock({"Save\tAll\xE9"});
    ReadNeStringBlock(ne.data(), ne.size(), strings);
    StringRow narrow = {10, &ne[strings[0].offset], strings[0].length};
    size = StringTextStartBytes(true);
    ASSERT_TRUE(PlanStringRow(true, narrow, &size));
    file.assign(size, 0);
    EXPECT_EQ(size,
              WriteStringRow(true, narrow, file.data(), WriteStringTextStart(true, file.data())));
    const std::string text = "10\tSave\tAll\xE9\r\n";
    EXPECT_EQ(Bytes(text.begin(), text.end()), file);

    uint32_t nearlyFull = 0x7FFFFFFF - 10;
    EXPECT_FALSE(PlanStringRow(false, wide, &nearlyFull));
    EXPECT_EQ(0x7FFFFFFFu - 10, nearlyFull);
}

}  // namespace
