#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "orlavex/test_pages.h"

namespace orlavex::bench {

// A way a page reaches orlavex: as it left the printer, or as an office scanner or copier spoils
// it. Every step that looks random draws from a generator seeded by the page, the resolution and
// the way, so the set is the same on every run.
struct Degradation {
    const char* name;
    test::PixPtr (*apply)(Pix* grey, int resolution, std::uint32_t seed);
};

const std::vector<Degradation>& Degradations();

// A seed that depends on the text only, the same on every machine.
std::uint32_t SeedOf(const std::string& text);

}  // namespace orlavex::bench
