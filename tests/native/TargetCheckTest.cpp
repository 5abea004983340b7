// The header check over byte sequences built here: every case is a file image
// one byte away from the opposite answer.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "formats/bytes/LittleEndian.h"
#include "formats/executables/NeResources.h"
#include "formats/executables/TargetCheck.h"

namespace {

// A file in memory. claimedSize stands for what the file system reports; it may
// exceed the bytes (a file that shrank after its size was read).
struct MemoryImage {
    std::vector<uint8_t> bytes;
    uint64_t claimedSize;
    size_t position;
    int seeks;
    bool failReads;
};

bool ReadImage(void* context, uint8_t* buffer, uint32_t count, uint32_t* delivered) {
    MemoryImage& image = *static_cast<MemoryImage*>(context);
    if (image.failReads)
        return false;
    size_t available =
        image.position < image.bytes.size() ? image.bytes.size() - image.position : 0;
    size_t n = count < available ? count : available;
    if (n > 0)
        memcpy(buffer, image.bytes.data() + image.position, n);
    // What was not delivered is poisoned, to catch a check that reads it.
    memset(buffer + n, 0xCC, count - n);
    image.position += n;
    *delivered = static_cast<uint32_t>(n);
    return true;
}

bool SeekImage(void* context, int32_t offset) {
    MemoryImage& image = *static_cast<MemoryImage*>(context);
    ++image.seeks;
    if (offset < 0)
        return false;
    image.position = static_cast<size_t>(offset);
    return true;
}

bool Check(MemoryImage& image, PeImageWidths widths = kPe32Only) {
    image.position = 0;
    image.seeks = 0;
    TargetByteSource source;
    source.context = &image;
    source.size = static_cast<uint32_t>(image.claimedSize);
    source.read = ReadImage;
    source.seek = SeekImage;
    return CheckTargetHeaders(source, widths);
}

bool Check(const std::vector<uint8_t>& bytes, PeImageWidths widths = kPe32Only) {
    MemoryImage image{bytes, bytes.size(), 0, 0, false};
    return Check(image, widths);
}

const uint32_t kNewHeader = 0x80;

std::vector<uint8_t> MzHeader(uint32_t newHeaderOffset, size_t size) {
    std::vector<uint8_t> bytes(size, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    PokeU32(&bytes[0x3C], newHeaderOffset);
    return bytes;
}

std::vector<uint8_t> NeImage(uint16_t resourceTable, size_t size) {
    std::vector<uint8_t> bytes = MzHeader(kNewHeader, size);
    bytes[kNewHeader] = 'N';
    bytes[kNewHeader + 1] = 'E';
    PokeU16(&bytes[kNewHeader + 0x24], resourceTable);
    return bytes;
}

// A PE32 image with the given section names and nothing after its section table.
std::vector<uint8_t> PeImage(const std::vector<std::string>& sections) {
    std::vector<uint8_t> bytes = MzHeader(kNewHeader, kNewHeader + 248 + 40 * sections.size());
    uint8_t* header = &bytes[kNewHeader];
    memcpy(header, "PE\0\0", 4);
    PokeU16(header + 0x06, static_cast<uint16_t>(sections.size()));
    PokeU16(header + 0x14, 224);
    PokeU16(header + 0x18, 0x10B);
    for (size_t i = 0; i < sections.size(); ++i) {
        memcpy(header + 248 + 40 * i, sections[i].data(), std::min<size_t>(8, sections[i].size()));
    }
    return bytes;
}

// A PE32+ image: its optional header is 16 bytes longer, so the section table
// starts at 264 past the signature. The optional header's tail is filled with a
// ".rsrc" name, which a check reading sections from 248 would take for one.
std::vector<uint8_t> Pe32PlusImage(const std::vector<std::string>& sections) {
    std::vector<uint8_t> bytes = MzHeader(kNewHeader, kNewHeader + 264 + 40 * sections.size());
    uint8_t* header = &bytes[kNewHeader];
    memcpy(header, "PE\0\0", 4);
    PokeU16(header + 0x06, static_cast<uint16_t>(sections.size()));
    PokeU16(header + 0x14, 240);
    PokeU16(header + 0x18, 0x20B);
    memcpy(header + 248, ".rsrc\0\0\0.rsrc\0\0\0", 16);
    for (size_t i = 0; i < sections.size(); ++i) {
        memcpy(header + 264 + 40 * i, sections[i].data(), std::min<size_t>(8, sections[i].size()));
    }
    return bytes;
}

TEST(TargetCheck, DosHeaderNeedsSixtyFourBytesAndMz) {
    // A 64-byte file whose new header is the last 4 bytes of the DOS header: it
    // is read as far as the new header, which holds no signature.
    std::vector<uint8_t> tiny = MzHeader(0x3C, 64);
    MemoryImage tinyImage{tiny, 64, 0, 0, false};
    EXPECT_FALSE(Check(tinyImage));
    EXPECT_EQ(1, tinyImage.seeks);
    tiny.resize(63);
    MemoryImage shortImage{tiny, 63, 0, 0, false};
    EXPECT_FALSE(Check(shortImage));
    EXPECT_EQ(0, shortImage.seeks);

    std::vector<uint8_t> good = PeImage({".rsrc"});
    ASSERT_TRUE(Check(good));
    std::vector<uint8_t> zm = good;
    zm[0] = 'Z';
    zm[1] = 'M';
    EXPECT_FALSE(Check(zm));
    std::vector<uint8_t> lower = good;
    lower[1] = 'z';
    EXPECT_FALSE(Check(lower));
}

TEST(TargetCheck, NewHeaderOffsetMustLeaveFourBytes) {
    // An NE header cut right after its signature: e_lfanew + 4 == size passes
    // the size test. Its resource table offset lies beyond the end and reads as 0.
    std::vector<uint8_t> cut = NeImage(0x40, kNewHeader + 0x40 + 2);
    cut.resize(kNewHeader + 4);
    MemoryImage atEnd{cut, cut.size(), 0, 0, false};
    EXPECT_FALSE(Check(atEnd));
    EXPECT_EQ(1, atEnd.seeks) << "e_lfanew + 4 == size must pass to the seek";

    std::vector<uint8_t> oneShort = cut;
    oneShort.resize(kNewHeader + 3);
    MemoryImage pastEnd{oneShort, oneShort.size(), 0, 0, false};
    EXPECT_FALSE(Check(pastEnd));
    EXPECT_EQ(0, pastEnd.seeks);
}

TEST(TargetCheck, NeResourceTableOffset) {
    EXPECT_FALSE(Check(NeImage(0, 0x400)));
    // The table's alignment word ends exactly at the end of the file.
    EXPECT_TRUE(Check(NeImage(0x40, kNewHeader + 0x40 + 2)));
    EXPECT_FALSE(Check(NeImage(0x40, kNewHeader + 0x40 + 1)));
    EXPECT_TRUE(Check(NeImage(0xFFFF, kNewHeader + 0xFFFF + 2)));
    // "EN" is not "NE".
    std::vector<uint8_t> swapped = NeImage(0x40, 0x400);
    std::swap(swapped[kNewHeader], swapped[kNewHeader + 1]);
    EXPECT_FALSE(Check(swapped));
}

TEST(TargetCheck, NeReaderLocatesEveryTableTheCheckAccepts) {
    // Around each boundary (the header's 64 bytes, the table's alignment word)
    // the check and the reader give the same answer, so no page lists nothing
    // for want of a table the check let through. A table inside the header is
    // odd but bounded; a header cut short is refused by both.
    int accepted = 0;
    for (uint16_t table : {0x24, 0x3E, 0x3F, 0x40, 0x41, 0x100}) {
        for (size_t size = kNewHeader + 0x26; size <= kNewHeader + table + 4u; ++size) {
            std::vector<uint8_t> bytes = NeImage(table, size);
            MappedNeImage image = {};
            bool located = LocateNeResourceTable(bytes.data(), bytes.size(), &image);
            EXPECT_EQ(Check(bytes), located) << "table " << table << " size " << size;
            accepted += located;
        }
    }
    EXPECT_GT(accepted, 0);
    EXPECT_FALSE(Check(NeImage(0x24, kNewHeader + 0x40 - 1)));
    EXPECT_TRUE(Check(NeImage(0x24, kNewHeader + 0x40)));
}

TEST(TargetCheck, OnlyPe32WithItsOwnOptionalHeaderSize) {
    std::vector<uint8_t> pe32Plus = PeImage({".rsrc"});
    PokeU16(&pe32Plus[kNewHeader + 0x18], 0x20B);
    PokeU16(&pe32Plus[kNewHeader + 0x14], 240);
    pe32Plus.resize(pe32Plus.size() + 16);
    EXPECT_FALSE(Check(pe32Plus));

    std::vector<uint8_t> magicOnly = PeImage({".rsrc"});
    PokeU16(&magicOnly[kNewHeader + 0x18], 0x20B);
    EXPECT_FALSE(Check(magicOnly));

    for (uint16_t optionalSize : {0, 223, 225, 240}) {
        std::vector<uint8_t> image = PeImage({".rsrc"});
        PokeU16(&image[kNewHeader + 0x14], optionalSize);
        EXPECT_FALSE(Check(image)) << optionalSize;
    }

    std::vector<uint8_t> badSignature = PeImage({".rsrc"});
    badSignature[kNewHeader + 2] = 1;  // "PE\1\0"
    EXPECT_FALSE(Check(badSignature));
}

TEST(TargetCheck, Pe32PlusOnlyWhereTheBuildTakesIt) {
    EXPECT_FALSE(Check(Pe32PlusImage({".rsrc"}), kPe32Only));
    EXPECT_TRUE(Check(Pe32PlusImage({".rsrc"}), kPe32AndPe32Plus));
    EXPECT_TRUE(Check(Pe32PlusImage({".text", ".data", ".rsrc"}), kPe32AndPe32Plus));
    // Sections are read after the whole optional header, not from its tail.
    EXPECT_FALSE(Check(Pe32PlusImage({".text", ".reloc"}), kPe32AndPe32Plus));
    EXPECT_FALSE(Check(Pe32PlusImage({}), kPe32AndPe32Plus));

    // Everything the 32-bit build accepts, the 64-bit one accepts too.
    for (const std::vector<uint8_t>& image :
         {PeImage({".rsrc"}), PeImage({".text", ".rsrc"}), NeImage(0x40, 0x400)}) {
        EXPECT_TRUE(Check(image, kPe32AndPe32Plus));
    }
    EXPECT_FALSE(Check(PeImage({".text"}), kPe32AndPe32Plus));
}

TEST(TargetCheck, Pe32PlusMagicAndSizeMustAgree) {
    // Each width's magic with the other width's optional header size, and odd
    // sizes around 240.
    std::vector<uint8_t> plusMagicShortHeader = PeImage({".rsrc"});
    PokeU16(&plusMagicShortHeader[kNewHeader + 0x18], 0x20B);
    EXPECT_FALSE(Check(plusMagicShortHeader, kPe32AndPe32Plus));
    std::vector<uint8_t> pe32MagicLongHeader = Pe32PlusImage({".rsrc"});
    PokeU16(&pe32MagicLongHeader[kNewHeader + 0x18], 0x10B);
    EXPECT_FALSE(Check(pe32MagicLongHeader, kPe32AndPe32Plus));
    for (uint16_t optionalSize : {0, 239, 241, 0xFFFF}) {
        std::vector<uint8_t> image = Pe32PlusImage({".rsrc"});
        PokeU16(&image[kNewHeader + 0x14], optionalSize);
        EXPECT_FALSE(Check(image, kPe32AndPe32Plus)) << optionalSize;
    }
    // A ROM image's magic is neither.
    std::vector<uint8_t> rom = Pe32PlusImage({".rsrc"});
    PokeU16(&rom[kNewHeader + 0x18], 0x107);
    EXPECT_FALSE(Check(rom, kPe32AndPe32Plus));
}

TEST(TargetCheck, Pe32PlusTruncatedAnywhere) {
    // The section table, which starts 16 bytes later than in PE32, must be
    // whole: one byte short fails even with .rsrc first.
    std::vector<uint8_t> cut = Pe32PlusImage({".rsrc", ".text"});
    cut.pop_back();
    EXPECT_FALSE(Check(cut, kPe32AndPe32Plus));

    // Cut inside the optional header's tail or the first section header: the
    // 248-byte block alone would have left room for a table there.
    for (size_t keep : {size_t{248}, size_t{256}, size_t{264}, size_t{300}}) {
        std::vector<uint8_t> bytes = Pe32PlusImage({".rsrc"});
        bytes.resize(kNewHeader + keep);
        EXPECT_FALSE(Check(bytes, kPe32AndPe32Plus)) << keep;
    }

    // A file that shrank after its size was read, ending in the optional
    // header: the missing tail and sections read as zeros, never as the
    // poisoned rest of the buffer.
    std::vector<uint8_t> shrunk = Pe32PlusImage({".rsrc"});
    shrunk.resize(kNewHeader + 250);
    MemoryImage shrunkImage{shrunk, kNewHeader + 264 + 40, 0, 0, false};
    EXPECT_FALSE(Check(shrunkImage, kPe32AndPe32Plus));
    EXPECT_EQ(1, shrunkImage.seeks);

    // A failing read of the optional header's tail.
    MemoryImage failing{Pe32PlusImage({".rsrc"}), 0, 0, 0, true};
    failing.claimedSize = failing.bytes.size();
    EXPECT_FALSE(Check(failing, kPe32AndPe32Plus));
}

TEST(TargetCheck, SectionTableMustBeWholeAndNotEmpty) {
    EXPECT_FALSE(Check(PeImage({})));

    std::vector<uint8_t> cut = PeImage({".rsrc", ".text"});
    cut.pop_back();
    EXPECT_FALSE(Check(cut)) << "the table runs past the end, even with .rsrc first";

    // The section count claims more headers than the file holds.
    std::vector<uint8_t> overclaimed = PeImage({".rsrc"});
    PokeU16(&overclaimed[kNewHeader + 0x06], 0xFFFF);
    EXPECT_FALSE(Check(overclaimed));
}

TEST(TargetCheck, SectionNameIsExactlyRsrc) {
    EXPECT_TRUE(Check(PeImage({".rsrc"})));
    EXPECT_TRUE(Check(PeImage({".text", ".data", ".reloc", ".rsrc"})));
    EXPECT_FALSE(Check(PeImage({".text", ".data", ".reloc"})));
    EXPECT_FALSE(Check(PeImage({".RSRC"})));
    EXPECT_FALSE(Check(PeImage({".rsrcx"})));
    EXPECT_FALSE(Check(PeImage({".rsr"})));
    EXPECT_FALSE(Check(PeImage({"rsrc"})));
    // Eight characters fill the field with no terminator.
    EXPECT_FALSE(Check(PeImage({".rsrcabc", ".rsrcdef"})));
    EXPECT_TRUE(Check(PeImage({".rsrcabc", ".rsrc"})));
}

TEST(TargetCheck, OffsetsNearFourGigabytesDoNotWrap) {
    // e_lfanew with the top bit set, with a size large enough to pass the size
    // test: the move is refused before the source sees it.
    std::vector<uint8_t> high = MzHeader(0x80000000u, 64);
    MemoryImage highImage{high, 0x80000010u, 0, 0, false};
    EXPECT_FALSE(Check(highImage));
    EXPECT_EQ(0, highImage.seeks);

    // e_lfanew + 4 wraps to a small number in 32 bits.
    std::vector<uint8_t> wrap = MzHeader(0xFFFFFFFEu, 64);
    MemoryImage wrapImage{wrap, 64, 0, 0, false};
    EXPECT_FALSE(Check(wrapImage));
    EXPECT_EQ(0, wrapImage.seeks);

    // The file shrank after its size was read: a claimed size near 4 GiB, an NE
    // resource table far out, and bytes beyond the end that read as zero.
    std::vector<uint8_t> ne = NeImage(0xFFFF, kNewHeader + 0x26);
    MemoryImage neImage{ne, 0xFFFFFFFFu, 0, 0, false};
    EXPECT_TRUE(Check(neImage));

    // A section count of 65535 over a shrunk file: every missing header reads
    // as zeros and none matches.
    std::vector<uint8_t> pe = PeImage({".text"});
    PokeU16(&pe[kNewHeader + 0x06], 0xFFFF);
    MemoryImage peImage{pe, 0xFFFFFFFFu, 0, 0, false};
    EXPECT_FALSE(Check(peImage));
}

TEST(TargetCheck, BytesPastTheEndReadAsZero) {
    // An NE signature at the very end of a file that claims to be far longer:
    // the resource table offset is not in the file and counts as 0. The source
    // poisons undelivered bytes, so a check that read them would say true.
    std::vector<uint8_t> ne = NeImage(0, 0x400);
    ne.resize(kNewHeader + 4);
    MemoryImage neImage{ne, 0xFFFFFFFFu, 0, 0, false};
    EXPECT_FALSE(Check(neImage));

    std::vector<uint8_t> pe = MzHeader(kNewHeader, kNewHeader + 4);
    memcpy(&pe[kNewHeader], "PE\0\0", 4);
    MemoryImage peImage{pe, pe.size(), 0, 0, false};
    EXPECT_FALSE(Check(peImage));
}

TEST(TargetCheck, FailedReadGivesFalse) {
    MemoryImage image{PeImage({".rsrc"}), 0, 0, 0, true};
    image.claimedSize = image.bytes.size();
    EXPECT_FALSE(Check(image));
}

}  // namespace
