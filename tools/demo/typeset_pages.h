#pragma once

#include <QImage>

#include <string>
#include <vector>

namespace quillrun::demo {

// How a text is set: a face of fonts-dejavu-core, which every Quillrun installation has, its
// size, and the running head printed above the text on every page.
struct PageStyle {
    const char* family;
    double pointSize;
    const char* runningHead;
};

// Sets a plain text on A4 pages as a word processor would print it, and returns the first pages,
// at most pageCount of them, drawn in grey at this resolution. Paragraphs are separated by blank
// lines; a paragraph indented far is a title, centred line for line, any other one is justified.
std::vector<QImage> TypesetPages(const std::string& text, const PageStyle& style, int resolution,
                                 int pageCount);

}  // namespace quillrun::demo
