#pragma once
// Key and value names compare as Windows compares them: without regard to case, each character
// of one UTF-16 unit folded on its own (Unicode's simple case folding), so "Société" and
// "SOCIÉTÉ" are one key while "Straße" and "STRASSE" are two, as are characters beyond one unit
// whatever their case.

#include <string>

namespace orvane {

// UTF-8 text with every character folded; bytes that are no UTF-8 stay as they are.
std::string FoldCase(const std::string& text);
// Whether Text folds to Folded, without a copy where both are plain ASCII.
bool FoldsTo(const std::string& text, const std::string& folded);

}  // namespace orvane
