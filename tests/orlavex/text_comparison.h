#pragma once

#include <string>

namespace orlavex::test {

// The text with every run of white space made one blank, and none at either end.
std::string NormalisedText(const std::string& text);

// The text with typographic forms written plainly, as a reader of the page would type them:
// ligatures as their letters, curly quotes straight, dashes and minus signs as hyphens,
// non-breaking spaces as blanks, and words broken at a line end whole again. A PDF's text layer
// keeps such forms; recognition gives the plain ones, and the line breaks as the page has them.
std::string PlainTypography(const std::string& text);

// Levenshtein distance over the expected text's length, both texts normalised.
double CharacterErrorRate(const std::string& expected, const std::string& actual);

// The same over the two texts' words (see CompareWords) sorted alphabetically: a character error
// rate that the reading order of columns and tables does not change.
double CharacterErrorRateInAnyOrder(const std::string& expected, const std::string& actual);

// The page's words against the words read, in no order: reading order differs between tools on
// pages with columns or tables, and a word read correctly counts wherever it was found. Words are
// the blank-separated pieces of the plain texts, punctuation included, so that "end," read as
// "end." is a word misread; pieces without a letter or digit (bullets, rules, dashes) are no
// words.
struct WordComparison {
    int expected = 0;  // the page's words
    int missed = 0;    // of those, how many are not among the words read
    int extra = 0;     // words read that the page does not have
    double missedShare() const { return expected == 0 ? 0.0 : double(missed) / expected; }
};
WordComparison CompareWords(const std::string& expected, const std::string& actual);

}  // namespace orlavex::test
