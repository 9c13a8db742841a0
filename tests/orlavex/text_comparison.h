#pragma once

#include <string>

namespace orlavex::test {

// The text with every run of white space made one blank, and none at either end.
std::string NormalisedText(const std::string& text);

// Levenshtein distance over the expected text's length, both texts normalised.
double CharacterErrorRate(const std::string& expected, const std::string& actual);

}  // namespace orlavex::test
