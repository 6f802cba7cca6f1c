// Paragraph formatter: wraps a running text into fixed-width lines, joined without
// separators, each line padded as its alignment asks.
#pragma once
#include <cstdint>
#include <string>

// sagnat > 0 indents the first line, < 0 indents every following line by |sagnat|.
// amplada is the line width including the indent. alineacio (any case): "E","L","I" left,
// "N" left filled with "-", "D","R" right, "C" centred, "A","B" justified; anything else
// leaves each line as cut. Control characters (below space) take no width.
// The text is replaced by the result.
void FormatParagraf(std::string& text, int16_t sagnat, int16_t amplada, const std::string& alineacio);
