// demo-pages: makes the scanned-looking pages of Quillrun's demo drop folder from licence texts
// that every Debian system has, typeset and spoilt as office scanners spoil pages.
//
//   demo-pages FOLDER    writes the scans into FOLDER, in subfolders of their own
//   demo-pages --inputs  names the files the scans are made from, one a line, so that the
//                        caller can tell whether scans it made earlier are still current
#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "scanned_copy.h"
#include "typeset_pages.h"

namespace {

using quillrun::demo::PageStyle;
using quillrun::demo::ScanFlaws;

// base-files installs these on every Debian system.
constexpr const char* kLicenceFolder = "/usr/share/common-licenses/";

struct DemoScan {
    const char* path;     // below the scans folder
    const char* licence;  // in kLicenceFolder
    PageStyle style;
    int pages;
    int resolution;
    ScanFlaws flaws;
    bool brokenOff = false;  // the transfer broke off, so the reading program cannot read it
};

// A dozen pages in three folders: single- and multi-page TIFF and PDF, 200 and 300 dpi, grey and
// black and white, each with a flaw of its own, and one file nobody can read. One scan a pair of
// lines, as the table it is.
// clang-format off
const DemoScan kScans[] = {
    {"legal/gpl-3.tif", "GPL-3", {"DejaVu Serif", 10.5, "GNU General Public License"}, 3, 300,
     {.skewDegrees = 0.4, .noise = 10, .upsideDownPage = 2}},
    {"legal/apache-2.0.pdf", "Apache-2.0", {"DejaVu Sans", 10, "Apache License 2.0"}, 2, 300,
     {.skewDegrees = -1.2, .noise = 8}},
    {"legal/bsd.pdf", "BSD", {"DejaVu Serif", 11, "BSD Licence"}, 1, 200,
     {.blackAndWhite = true, .skewDegrees = 0.8, .specks = 150}},
    {"post/artistic.tif", "Artistic", {"DejaVu Sans", 10, "The Artistic License"}, 1, 200,
     {.blackAndWhite = true, .skewDegrees = -2.0, .noise = 6, .specks = 300}},
    {"post/mpl-2.0.pdf", "MPL-2.0", {"DejaVu Serif", 10, "Mozilla Public License 2.0"}, 2, 200,
     {.noise = 14}},
    {"archive/lgpl-2.1.tif", "LGPL-2.1", {"DejaVu Sans Mono", 9.5, "GNU LGPL 2.1"}, 2, 300,
     {.blackAndWhite = true, .skewDegrees = 0.6, .noise = 4}},
    // A poor copy of small print, which the statistics should single out.
    {"archive/cc0-1.0.pdf", "CC0-1.0", {"DejaVu Sans", 7.5, "Creative Commons CC0 1.0"}, 1, 200,
     {.skewDegrees = 1.5, .noise = 45, .specks = 300}},
    {"archive/fax-0117.tif", "GFDL-1.3", {"DejaVu Serif", 10, "GNU FDL 1.3"}, 1, 200,
     {.blackAndWhite = true}, true},
};
// clang-format on

std::optional<std::string> ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return file ? std::optional(text.str()) : std::nullopt;
}

bool MakeScan(const std::filesystem::path& folder, const DemoScan& scan) {
    const std::string source = std::string(kLicenceFolder) + scan.licence;
    const std::optional<std::string> text = ReadText(source);
    if (!text) {
        std::fprintf(stderr, "demo-pages: cannot read %s\n", source.c_str());
        return false;
    }
    const std::filesystem::path target = folder / scan.path;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    const auto pages = quillrun::demo::TypesetPages(*text, scan.style, scan.resolution, scan.pages);
    if (error || static_cast<int>(pages.size()) != scan.pages ||
        !quillrun::demo::WriteScannedCopy(target.string(), pages, scan.flaws) ||
        (scan.brokenOff && !quillrun::demo::CutOff(target.string(), 0.3))) {
        std::fprintf(stderr, "demo-pages: cannot make %s\n", target.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string argument = argc == 2 ? argv[1] : "";
    if (argument.empty()) {
        std::fputs("usage: demo-pages FOLDER | --inputs\n", stderr);
        return 2;
    }
    if (argument == "--inputs") {
        for (const DemoScan& scan : kScans) {
            std::printf("%s%s\n", kLicenceFolder, scan.licence);
        }
        return 0;
    }
    // Pages are drawn, never shown: no display is needed, nor used when there is one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    for (const DemoScan& scan : kScans) {
        if (!MakeScan(argument, scan)) {
            return 1;
        }
    }
    return 0;
}
