#include "calibration_set.h"

#include <tesseract/baseapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "degraded_pages.h"
#include "orlavex/test_pages.h"
#include "page_cleanup.h"
#include "page_reader.h"
#include "page_source.h"

namespace orlavex::bench {

namespace {

constexpr int kResolutions[] = {200, 300};

struct ChosenPage {
    std::string document;
    int page = 0;
    std::string part;
    int resolution = 0;
    std::vector<std::size_t> degradations;  // indexes into Degradations()
};

bool ReadChosenPages(const std::string& folder, const std::string& part,
                     std::vector<ChosenPage>& pages, std::string& error) {
    std::ifstream list(folder + "/pages.tsv");
    if (!list) {
        error =
            folder + "/pages.tsv is missing; make the set with bench/orlavex/make_calibration_set";
        return false;
    }
    std::string line;
    std::size_t pageCount = 0;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        ChosenPage page;
        if (!(fields >> page.document >> page.page >> page.part)) {
            error = "a line of " + folder + "/pages.tsv is not: document, page, part";
            return false;
        }
        // Counted before the part is chosen, so a page is spoilt alike in every run.
        const std::size_t ordinal = pageCount++;
        if (!part.empty() && page.part != part) {
            continue;
        }
        // Each page takes half of the degradations at one resolution and the other half at the
        // other, and the next page the other way round: every way a page can be spoilt meets
        // every resolution and every document, in half the time.
        const std::size_t count = Degradations().size();
        for (std::size_t r = 0; r < std::size(kResolutions); ++r) {
            page.resolution = kResolutions[r];
            page.degradations.clear();
            for (std::size_t d = 0; d < count; ++d) {
                if ((d + r + ordinal) % 2 == 0) {
                    page.degradations.push_back(d);
                }
            }
            pages.push_back(page);
        }
    }
    return true;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::string TruthOf(const std::string& folder, const std::string& document, int page) {
    return ReadWholeFile(folder + "/truth/" + document + "-" + std::to_string(page) + ".txt");
}

void Compare(Reading& reading, const std::string& truth) {
    reading.words = test::CompareWords(truth, reading.text);
    reading.characterErrorRate = test::CharacterErrorRate(truth, reading.text);
    reading.characterErrorRateInAnyOrder = test::CharacterErrorRateInAnyOrder(truth, reading.text);
}

// Recognised text on one line of the readings file.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string Unescaped(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const char next = text[++i];
        plain += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    }
    return plain;
}

struct DeleteText {
    void operator()(char* text) const { delete[] text; }
};

// The steps orlavex takes for each image of a single-page input, and what came of them.
Reading ReadPage(PageReader& reader, test::PixPtr image, int resolution, const std::string& truth) {
    PageImage page;
    page.pix.reset(image.release());
    page.resolution = resolution;
    Reading reading;
    std::string error;
    if (PrepareImage(page, true) &&
        reader.read(page, 1, true, reading.quarterTurns, error) == Outcome::Written) {
        const std::unique_ptr<char[], DeleteText> text(reader.engine().GetUTF8Text());
        reading.text = text ? text.get() : "";
        reading.recognised = CollectConfidences(reader.engine());
    }
    reader.engine().Clear();
    Compare(reading, truth);
    return reading;
}

}  // namespace

std::string Reading::key() const {
    return document + "-" + std::to_string(page) + "/" + std::to_string(resolution) + "/" +
           degradation;
}

bool ReadCalibrationSet(const std::string& folder, const std::string& part, int threads,
                        const std::set<std::string>& done,
                        const std::function<void(Reading)>& store, std::string& error) {
    std::vector<ChosenPage> pages;
    if (!ReadChosenPages(folder, part, pages, error)) {
        return false;
    }
    Options options;
    options.quiet = true;
    ConfigureRecognitionLibrary(options);
    SilenceLibraryMessages();
    std::vector<std::unique_ptr<PageReader>> readers;
    for (int i = 0; i < threads; ++i) {
        readers.push_back(std::make_unique<PageReader>(options));
        std::string warning;
        if (!readers.back()->start(threads == 1, error, warning)) {
            return false;
        }
    }

    const std::vector<Degradation>& degradations = Degradations();
    std::atomic<std::size_t> next{0};
    std::mutex rendering;  // Poppler's renderer is used by one thread at a time
    std::mutex storing;
    const auto work = [&](PageReader& reader) {
        for (std::size_t i; (i = next++) < pages.size();) {
            const ChosenPage& chosen = pages[i];
            const std::string name = chosen.document + "-" + std::to_string(chosen.page);
            const std::string truth = TruthOf(folder, chosen.document, chosen.page);
            const auto keyOf = [&](std::size_t d) {
                return name + "/" + std::to_string(chosen.resolution) + "/" + degradations[d].name;
            };
            if (std::all_of(chosen.degradations.begin(), chosen.degradations.end(),
                            [&](std::size_t d) { return done.contains(keyOf(d)); })) {
                continue;
            }
            test::PixPtr grey;
            {
                const std::lock_guard lock(rendering);
                grey = test::RenderPdfPage(
                    ReadWholeFile(folder + "/documents/" + chosen.document + ".pdf"),
                    chosen.resolution, chosen.page - 1);
            }
            for (std::size_t k = 0; k < chosen.degradations.size(); ++k) {
                const std::size_t d = chosen.degradations[k];
                const std::string id =
                    name + "/" + std::to_string(chosen.resolution) + "/" + degradations[d].name;
                Reading reading = ReadPage(
                    reader, degradations[d].apply(grey.get(), chosen.resolution, SeedOf(id)),
                    chosen.resolution, truth);
                reading.document = chosen.document;
                reading.page = chosen.page;
                reading.part = chosen.part;
                reading.resolution = chosen.resolution;
                reading.degradation = degradations[d].name;
                std::fprintf(stderr, "%-56s %6.2f%% of the words misread\n", id.c_str(),
                             reading.words.missedShare() * 100.0);
                const std::lock_guard lock(storing);
                store(std::move(reading));
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        for (const std::unique_ptr<PageReader>& reader : readers) {
            workers.emplace_back([&work, &reader] { work(*reader); });
        }
    }
    return true;
}

// One line per reading, then one per word (its confidence, its symbols, whether it holds a letter
// or digit, whether it is hyphenated at a line end and whether it holds a dash), then the text.
bool AppendReading(const std::string& path, const Reading& r) {
    std::ofstream file(path, std::ios::app);
    file << "reading\t" << r.document << '\t' << r.page << '\t' << r.part << '\t' << r.resolution
         << '\t' << r.degradation << '\t' << r.quarterTurns << '\n';
    for (const RecognisedPage::Word& word : r.recognised.words) {
        file << "word\t" << word.confidence << '\t' << word.symbols << '\t'
             << (word.holdsLetterOrDigit ? 1 : 0) << '\t' << (word.hyphenatedAtLineEnd ? 1 : 0)
             << '\t' << (word.holdsDash ? 1 : 0) << '\n';
    }
    // Last, so that a reading cut short by an interruption is recognised as such.
    file << "text\t" << Escaped(r.text) << '\n';
    return static_cast<bool>(file);
}

bool LoadReadings(const std::string& path, const std::string& folder,
                  std::vector<Reading>& readings) {
    std::ifstream file(path);
    std::string line;
    bool complete = true;
    bool stale = false;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string kind;
        std::getline(fields, kind, '\t');
        if (kind == "reading") {
            if (!complete) {
                readings.pop_back();
            }
            Reading r;
            std::string value;
            std::getline(fields, r.document, '\t');
            std::getline(fields, value, '\t');
            r.page = std::stoi(value);
            std::getline(fields, r.part, '\t');
            std::getline(fields, value, '\t');
            r.resolution = std::stoi(value);
            std::getline(fields, r.degradation, '\t');
            fields >> r.quarterTurns;
            readings.push_back(std::move(r));
            complete = false;
            stale = false;
        } else if (kind == "word" && !readings.empty()) {
            RecognisedPage::Word word;
            int letters = 0;
            int hyphenated = 0;
            int dash = 0;
            // A word line of an older file lacks the last fields: that reading is read again.
            stale = stale ||
                    !(fields >> word.confidence >> word.symbols >> letters >> hyphenated >> dash);
            word.holdsLetterOrDigit = letters != 0;
            word.hyphenatedAtLineEnd = hyphenated != 0;
            word.holdsDash = dash != 0;
            readings.back().recognised.words.push_back(word);
        } else if (kind == "text" && !readings.empty() && !stale) {
            std::string text;
            std::getline(fields, text);
            Reading& reading = readings.back();
            reading.text = Unescaped(text);
            Compare(reading, TruthOf(folder, reading.document, reading.page));
            complete = true;
        }
    }
    if (!complete) {
        readings.pop_back();
    }
    return !readings.empty();
}

}  // namespace orlavex::bench
