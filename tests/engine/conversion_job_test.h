#pragma once

#include <string>
#include <vector>

#include "engine/engine_fixture.h"

namespace quillrun::test {

using ConversionJob = EngineTest;

// Image names that a shell, a careless splitter or a code page would mangle, as far as the
// system's file names can hold them.
std::vector<std::string> UnusualImageNames();

}  // namespace quillrun::test
