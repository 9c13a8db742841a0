#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace quillrun::bench {

// Every file a benchmark generates lives below one temporary folder, removed when the run ends.
void SetWorkspaceRoot(std::string root);
const std::string& WorkspaceRoot();
// Creates root/name (and nothing above it) and returns its path.
std::string MakeWorkspaceFolder(const std::string& name);
// Removes everything the benchmarks generated, keeping the workspace folder itself.
void ClearWorkspace();

// Setup helpers; a failure ends the run, since a figure measured on a half-built tree lies.
void MakeFolder(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);
void MakeEmptyFile(const std::string& path);
// Sets both file times this far in the past, so the readiness test's quiet period is over.
void Backdate(const std::string& path, std::chrono::seconds age);
// Gives the file at target a second name at path (replacing whatever path held): a statistics
// file is deleted by every harvest and comes back this way without being written again.
void LinkAgain(const std::string& target, const std::string& path);
[[noreturn]] void FailSetup(const std::string& what);

}  // namespace quillrun::bench
