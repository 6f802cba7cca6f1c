#include <gtest/gtest.h>

#include "fields/paragraf.h"

namespace {

std::string F(std::string t, int16_t sagnat, int16_t amplada, const std::string& al) {
  FormatParagraf(t, sagnat, amplada, al);
  return t;
}

TEST(Paragraf, WrapsAtSpacesAndPadsLeft) {
  EXPECT_EQ(F("uno dos tres", 0, 10, "L"), "uno dos   tres      ");
  EXPECT_EQ(F("uno dos tres", 0, 10, "e"), "uno dos   tres      ");
  EXPECT_EQ(F("uno dos tres", 0, 10, "I"), "uno dos   tres      ");
  // Spaces that end a line do not start the next one.
  EXPECT_EQ(F("uno    dos", 0, 5, "L"), "uno  dos  ");
}

TEST(Paragraf, LongWordIsCut) {
  EXPECT_EQ(F("abcdefghijkl", 0, 5, "L"), "abcdefghijkl   ");
  EXPECT_EQ(F("ab abcdefghijkl", 0, 5, "L"), "ab   abcdefghijkl   ");
}

TEST(Paragraf, Indents) {
  EXPECT_EQ(F("aaa bbb ccc ddd", -4, 10, "L"), "aaa bbb       ccc       ddd   ");
  EXPECT_EQ(F("aaa bbb", 2, 6, "L"), "  aaa bbb   ");
}

TEST(Paragraf, Alignments) {
  EXPECT_EQ(F("abc", 0, 6, "D"), "   abc");
  EXPECT_EQ(F("abc", 0, 6, "r"), "   abc");
  EXPECT_EQ(F("abc", 0, 8, "C"), "  abc   ");
  EXPECT_EQ(F("abc", 0, 6, "N"), "abc---");
  EXPECT_EQ(F("abc de", 0, 4, "Z"), "abcde");
  EXPECT_EQ(F("abc", 0, 6, "LL"), "abc");
  // Trailing spaces at the end of the text are not part of the line.
  EXPECT_EQ(F("abc   ", 0, 6, "R"), "   abc");
}

TEST(Paragraf, JustifiesAllButTheLastLine) {
  EXPECT_EQ(F("aa bb cc dd ee", 0, 10, "A"), "aa  bb  ccdd ee");
  // The added spaces go round the gaps from left to right.
  EXPECT_EQ(F("a b c dddddddd", 0, 9, "B"), "a   b   cdddddddd");
  // A line without a space stays as cut, not filled.
  EXPECT_EQ(F("abcdefgh ij", 0, 9, "A"), "abcdefghij");
  // Only trailing spaces after the line: it is the last line.
  EXPECT_EQ(F("aa bb   ", 0, 9, "A"), "aa bb");
}

TEST(Paragraf, ControlCharactersTakeNoWidth) {
  EXPECT_EQ(F("ab\x01" "cd ef", 0, 5, "L"), "ab\x01" "cd ef   ");
  // Control characters right after the last word go with it.
  EXPECT_EQ(F("abcde\x02\x03 fg", 0, 5, "L"), "abcde\x02\x03" "fg   ");
}

TEST(Paragraf, EmptyAndDegenerateWidths) {
  EXPECT_EQ(F("", 0, 10, "L"), "");
  EXPECT_EQ(F("", 3, 10, "L"), "");
  // An indent as wide as the line must not stall the formatter.
  const std::string r = F("abc", 5, 3, "L");
  EXPECT_EQ(r, "     abc ");
  EXPECT_EQ(F("abc", 0, 0, "L"), "abc");
  EXPECT_EQ(F("abc", 0, -7, "L"), "abc");
}

TEST(Paragraf, MessageBoxLayoutIsWholeLines) {
  std::string t;
  for (int i = 0; i < 40; ++i) t += "paraula ";
  FormatParagraf(t, 0, 76, "i");
  ASSERT_EQ(t.size() % 76, 0u);
  for (size_t i = 0; i < t.size(); i += 76) EXPECT_NE(t[i], ' ') << i;
}

}  // namespace
