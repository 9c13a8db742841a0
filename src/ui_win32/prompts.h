#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace quillrun::win32ui {

// The name the program's windows go by: the executable's file name without its extension.
std::string ApplicationName();

// The modal prompts of the main dialog. Each blocks until the user has answered, unless a test
// has given a script: then messages are recorded instead of shown, and the choosers return the
// script's next answers in turn.
namespace prompts {

// A message box with one OK button, owned by owner, captioned with the application's name.
void ShowMessage(HWND owner, const std::string& text);
// The shell's folder picker; nothing when cancelled or when the folder has no file-system path.
std::optional<std::string> ChooseFolder(HWND owner, const std::string& title);
// The common file dialog for the log file; a file that does not exist yet may be named.
std::optional<std::string> ChooseLogFile(HWND owner);

struct Script {
    std::vector<std::string> messages;               // what was shown, in order
    std::deque<std::optional<std::string>> answers;  // for the choosers, in order
    std::vector<std::string> chooserTitles;          // what the choosers were asked
};
// Tests only: nullptr goes back to the real prompts.
void SetScript(Script* script);

}  // namespace prompts
}  // namespace quillrun::win32ui
