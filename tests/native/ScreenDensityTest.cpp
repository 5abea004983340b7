// The density rule and the entry layouts it makes: at 96 dpi the layouts the
// page always drew; at 150% and 200% every picture and margin grown, rows
// kept within what a list box takes.
#include <gtest/gtest.h>

#include <vector>

#include "formats/images/DibLayout.h"
#include "formats/images/EntryCells.h"
#include "formats/images/ScreenDensity.h"

namespace {

TEST(ScreenDensity, ScalesRoundingHalvesAwayFromZero) {
    EXPECT_EQ(80, ScaleToDensity(80, 96));
    EXPECT_EQ(120, ScaleToDensity(80, 144));
    EXPECT_EQ(160, ScaleToDensity(80, 192));
    // 1.5 and 10.5: up, as the drawing and the measuring both take them.
    EXPECT_EQ(2, ScaleToDensity(1, 144));
    EXPECT_EQ(11, ScaleToDensity(7, 144));
    EXPECT_EQ(-11, ScaleToDensity(-7, 144));
    EXPECT_EQ(9, ScaleToDensity(7, 120));  // 8.75
    // A density never read is the base one; extremes are held in range.
    EXPECT_EQ(80, ScaleToDensity(80, 0));
    EXPECT_EQ(80, ScaleToDensity(80, -192));
    EXPECT_EQ(1, ScaleToDensity(1, 1));
    EXPECT_EQ(800, ScaleToDensity(80, 100000));
    EXPECT_EQ(INT32_MAX, ScaleToDensity(INT64_MAX, 192));
    EXPECT_EQ(-INT32_MAX, ScaleToDensity(INT64_MIN, 192));
}

TEST(ScreenDensity, CellsAt96DpiAreTheClassicLayout) {
    const ThumbnailCell thumb = LayOutThumbnailCell(13, 96);
    EXPECT_EQ((std::vector<int32_t>{2, 1, 20, 5, 21, 80, 102, 119, 138, 139, 90}),
              (std::vector<int32_t>{thumb.inset, thumb.nameTop, thumb.nameBottom, thumb.boxLeft,
                                    thumb.boxTop, thumb.boxSide, thumb.sizeTop, thumb.sizeBottom,
                                    thumb.secondBottom, thumb.rowHeight, thumb.columnWidth}));
    const GroupCell group = LayOutGroupCell(32, 32, 13, 96);
    EXPECT_EQ((std::vector<int32_t>{2, 1, 20, 8, 21, 57, 48}),
              (std::vector<int32_t>{group.inset, group.nameTop, group.nameBottom, group.pictureLeft,
                                    group.pictureTop, group.rowHeight, group.columnWidth}));
    const MemberCell member = LayOutMemberCell(16, 16, 13, 96);
    EXPECT_EQ((std::vector<int32_t>{8, 2, 20, 16, 16, 20}),
              (std::vector<int32_t>{member.pictureLeft, member.pictureTop, member.columnPad,
                                    member.pictureWidth, member.pictureHeight, member.rowHeight}));
}

TEST(ScreenDensity, CellsGrowWithTheDensity) {
    // 150%, the dialog font 20 high: every margin and the box scaled.
    const ThumbnailCell thumb = LayOutThumbnailCell(20, 144);
    EXPECT_EQ(120, thumb.boxSide);
    EXPECT_EQ(8, thumb.boxLeft);
    EXPECT_EQ(thumb.nameBottom + 2, thumb.boxTop);
    EXPECT_EQ(thumb.boxTop + 120 + 2, thumb.sizeTop);
    EXPECT_EQ(2 + 20 + 9 + 2 + 120 + 2 + 20 + 6 + 20 + 9 + 2, thumb.rowHeight);
    EXPECT_EQ(136, thumb.columnWidth);
    const GroupCell group = LayOutGroupCell(48, 48, 20, 144);
    EXPECT_EQ(12, group.pictureLeft);
    EXPECT_EQ(2 + 20 + 9 + 2 + 48 + 6, group.rowHeight);
    EXPECT_EQ(12 + 48 + 12, group.columnWidth);
    // A 16-pixel member at 150% is 24 high, taller than the text.
    const MemberCell member = LayOutMemberCell(16, 16, 20, 144);
    EXPECT_EQ(24, member.pictureWidth);
    EXPECT_EQ(24 + 6, member.rowHeight);
    EXPECT_EQ(30, member.columnPad);
}

TEST(ScreenDensity, TallEntriesGiveUpMarginsThenBoxWithinTheListBoxLimit) {
    // 200% with a 26-pixel font would need 278 pixels.
    const ThumbnailCell thumb = LayOutThumbnailCell(26, 192);
    EXPECT_EQ(kMaxItemHeight, thumb.rowHeight);
    EXPECT_EQ(255 - (3 * 26 + 20), thumb.boxSide);
    EXPECT_EQ(10, thumb.boxLeft);  // sideways there is room
    EXPECT_EQ(thumb.boxLeft * 2 + thumb.boxSide, thumb.columnWidth);
    EXPECT_LE(thumb.secondBottom, thumb.rowHeight);
    // A font so large nothing fits: the lines overrun, the item stays legal.
    const ThumbnailCell huge = LayOutThumbnailCell(200, 192);
    EXPECT_EQ(1, huge.boxSide);
    EXPECT_EQ(kMaxItemHeight, huge.rowHeight);
    EXPECT_EQ(kMaxItemHeight, LayOutGroupCell(1000, 1000, 13, 192).rowHeight);
    EXPECT_EQ(kMaxItemHeight, LayOutMemberCell(256, 256, 13, 192).rowHeight);
}

TEST(ScreenDensity, ThumbnailsFillTheScaledBox) {
    auto fit = [](int64_t w, int64_t h, int64_t density) {
        ThumbnailSize t = FitThumbnailAt(w, h, ScaleToDensity(kThumbnailSide, density), density);
        return std::vector<int32_t>{t.width, t.height};
    };
    // At 96 dpi exactly the classic fit.
    EXPECT_EQ((std::vector<int32_t>{80, 40}), fit(200, 100, 96));
    EXPECT_EQ((std::vector<int32_t>{40, 20}), fit(40, 20, 96));
    // A small picture at its size times the density; a large one fills the box.
    EXPECT_EQ((std::vector<int32_t>{28, 28}), fit(14, 14, 192));
    EXPECT_EQ((std::vector<int32_t>{21, 21}), fit(14, 14, 144));
    EXPECT_EQ((std::vector<int32_t>{160, 120}), fit(160, 120, 192));
    EXPECT_EQ((std::vector<int32_t>{120, 60}), fit(200, 100, 144));
    EXPECT_EQ((std::vector<int32_t>{1, 160}), fit(1, 1000, 192));
    EXPECT_EQ((std::vector<int32_t>{0, 0}), fit(0, 10, 192));
    EXPECT_EQ((std::vector<int32_t>{0, 0}), fit(-4, 10, 192));
    EXPECT_EQ((std::vector<int32_t>{30, 45}), fit(20, -30, 144));
}

}  // namespace
