#include <gtest/gtest.h>

#include "formats/executables/PlatformDecisions.h"

namespace {

struct VersionRow {
    uint32_t platformId, major, minor;
    bool legacy, themed;
};

TEST(PlatformDecisions, VersionTable) {
    const VersionRow rows[] = {
        {1, 4, 0, true, false},  {1, 4, 10, false, false}, {1, 4, 90, false, false},
        {2, 4, 0, true, false},  {2, 4, 1, true, false},   {2, 5, 0, false, false},
        {2, 5, 1, false, true},  {2, 5, 2, false, true},   {2, 6, 0, false, true},
        {2, 10, 0, false, true}, {2, 3, 51, false, false},
    };
    for (const VersionRow& row : rows) {
        SCOPED_TRACE(testing::Message() << row.platformId << " " << row.major << "." << row.minor);
        EXPECT_EQ(row.legacy, IsLegacyShellMode(row.platformId, row.major, row.minor));
        EXPECT_EQ(row.themed, IsThemedPlatform(row.platformId, row.major, row.minor));
    }
}

TEST(PlatformDecisions, CommonControlsVersion) {
    EXPECT_TRUE(HasModernCommonControls(0, 4, 71));
    EXPECT_TRUE(HasModernCommonControls(0, 5, 80));
    EXPECT_TRUE(HasModernCommonControls(0, 4, 70));
    EXPECT_TRUE(HasModernCommonControls(0, 6, 0));
    EXPECT_FALSE(HasModernCommonControls(0, 4, 0));
    // A failed call decides nothing, whatever the fields hold.
    EXPECT_FALSE(HasModernCommonControls(static_cast<int32_t>(0x80004005), 6, 0));
    EXPECT_FALSE(HasModernCommonControls(1, 5, 80));
}

}  // namespace
