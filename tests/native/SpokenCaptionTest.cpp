#include "formats/texts/SpokenCaption.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Spoken(const char* caption, size_t size = 64) {
    char buffer[64] = "unchanged";
    SpokenCaption(caption, buffer, size);
    return buffer;
}

TEST(SpokenCaption, LabelsLoseTheirAcceleratorAndColon) {
    EXPECT_EQ("グループ", Spoken("グループ(&G):"));
    EXPECT_EQ("ｸﾞﾙｰﾌﾟ", Spoken("ｸﾞﾙｰﾌﾟ(&G):"));
    EXPECT_EQ("AVI 一覧", Spoken("AVI 一覧(&L):"));
    EXPECT_EQ("種類", Spoken("種類(&T):"));
    EXPECT_EQ("Copy", Spoken("&Copy"));
    EXPECT_EQ("R&D", Spoken("R&&D"));
    EXPECT_EQ("ID", Spoken("ID:"));
    EXPECT_EQ("(&", Spoken("(&"));
}

TEST(SpokenCaption, ACaptionLongerThanTheBufferIsCutAndTerminated) {
    EXPECT_EQ("Grou", Spoken("Group(&G):", 5));
    EXPECT_EQ("", Spoken("Group", 1));
    char untouched = 'x';
    SpokenCaption("グループ", &untouched, 0);
    EXPECT_EQ('x', untouched);
}

}  // namespace
