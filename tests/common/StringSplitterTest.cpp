#include "common/StringSplitter.h"

#include <gtest/gtest.h>

TEST(CStringSplitter, PiecesIncludingEmptyOnes)
{
    CStringSplitter splitter;
    ASSERT_EQ(4, splitter.Split("10,,20,表", ','));
    char piece[16];
    EXPECT_EQ(0, splitter.GetPiece(0, piece, sizeof(piece)));
    EXPECT_STREQ("10", piece);
    EXPECT_EQ(1, splitter.GetPiece(1, piece, sizeof(piece)));
    EXPECT_STREQ("", piece);
    EXPECT_EQ(3, splitter.GetPiece(3, piece, sizeof(piece)));
    EXPECT_STREQ("表", piece);
    EXPECT_EQ(-1, splitter.GetPiece(4, piece, sizeof(piece)));
    EXPECT_EQ(-1, splitter.GetPiece(-1, piece, sizeof(piece)));
}

TEST(CStringSplitter, EmptyTextGivesOneEmptyPiece)
{
    CStringSplitter splitter;
    EXPECT_EQ(1, splitter.Split("", ','));
    char piece[4] = "x";
    EXPECT_EQ(0, splitter.GetPiece(0, piece, sizeof(piece)));
    EXPECT_STREQ("", piece);
}

TEST(CStringSplitter, NewSplitForgetsOldPiecesAndSmallBufferFails)
{
    CStringSplitter splitter;
    splitter.Split("a,b,c", ',');
    EXPECT_EQ(2, splitter.Split("long piece,x", ','));
    char small[4];
    EXPECT_EQ(-1, splitter.GetPiece(0, small, sizeof(small)));
    EXPECT_EQ(1, splitter.GetPiece(1, small, sizeof(small)));
    EXPECT_STREQ("x", small);
}
