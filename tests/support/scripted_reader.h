#pragma once

#include <string>
#include <string_view>
#include <vector>

// The scripted reading program's parts: what it does on every system (scripted_reader.cpp), and
// what each system does its own way (scripted_reader_posix.cpp, scripted_reader_win32.cpp).
namespace scripted_reader {

// Its behaviour, given the arguments as UTF-8 texts, the program's own name first.
int Run(const std::vector<std::string>& arguments);

bool Exists(const std::string& path);
// Waits, bounded, until the flag file exists.
void WaitFor(const std::string& flag);
void WriteBytes(const std::string& path, const std::string& bytes);

// Opens path for reading ("r") or appending ("w"), creates ready, and keeps the file open until
// release exists.
int HoldFile(const std::string& path, std::string_view mode, const std::string& ready,
             const std::string& release);
// Holds an exclusive lock on path, as another writer of a log file would.
int LockFile(const std::string& path, const std::string& ready, const std::string& release);
// Ends the program as a crash would, before it has written anything.
[[noreturn]] void Crash();
// Waits until the program is ended from outside.
[[noreturn]] void SleepForever();
// Writes the numbers of the descriptors the program was started with (where there are such).
void ListDescriptors(const std::string& path);
// Appends the image's path and a line feed to the file in one write, so that several instances
// can count their runs in one file.
void Tally(const std::string& path, const std::string& input);
// Waits for the flag as long as the program that started this one runs: a reader left behind by
// a killed instance must not go on to write. Says whether the flag came while it still ran.
bool WaitForFlagWhileParentRuns(const std::string& flag);
// Busy work until this process has used the given processor time.
void Burn(long milliseconds);
// Leaves something behind that keeps the document open after this program has ended, until the
// flag file exists.
void HoldDocumentUntil(const std::string& document, const std::string& flag);

}  // namespace scripted_reader
