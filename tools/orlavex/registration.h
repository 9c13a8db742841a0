#pragma once

#include <string>

namespace orlavex {

// Records this executable's absolute path as the reading program's application-path
// registration in the machine hive, where Quillrun looks for it.
bool RegisterThisProgram(std::string& registeredPath, std::string& error);

}  // namespace orlavex
