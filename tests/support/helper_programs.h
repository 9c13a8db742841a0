#pragma once

#include <string>

namespace quillrun::test {

// The path of a helper program built beside the running test program. On Windows the tests run
// under a path mapping that CMake does not know, so SCRIPTED_READER_PATH names the helper by file
// name and is resolved here; elsewhere CMake gives the path itself.
std::string HelperProgramPath(const std::string& fileName);

}  // namespace quillrun::test
