#include "ui_win32/prompts.h"

#include <commdlg.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "platform/win32/wide_text.h"
#include "resources/browse_dialogs.h"

namespace quillrun::win32ui {
namespace {

using Microsoft::WRL::ComPtr;
using platform::ToUtf8;
using platform::ToWide;

// Long enough for the longest path the system takes.
constexpr DWORD kPathBufferLength = 32768;

prompts::Script* g_script = nullptr;

std::optional<std::string> NextAnswer(const std::string& title) {
    g_script->chooserTitles.push_back(title);
    if (g_script->answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = std::move(g_script->answers.front());
    g_script->answers.pop_front();
    return answer;
}

// "Text Files\0*.log;*.txt\0All Files\0*.*\0\0": the common file dialog's form of the types.
std::wstring FilterText() {
    std::wstring filter;
    for (const res::FileTypeFilter& type : res::kLogFileFilters) {
        filter += ToWide(type.name);
        filter += L'\0';
        std::wstring patterns;
        for (const std::string_view extension : type.extensions) {
            patterns += (patterns.empty() ? L"*." : L";*.") + ToWide(extension);
        }
        filter += patterns.empty() ? L"*.*" : patterns;
        filter += L'\0';
    }
    return filter + L'\0';
}

}  // namespace

std::string ApplicationName() {
    std::wstring path(kPathBufferLength, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), kPathBufferLength));
    const std::size_t separator = path.find_last_of(L"\\/");
    std::wstring name = separator == std::wstring::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) {
        name.resize(dot);
    }
    return ToUtf8(name);
}

namespace prompts {

void ShowMessage(HWND owner, const std::string& text) {
    if (g_script != nullptr) {
        g_script->messages.push_back(text);
        return;
    }
    ::MessageBoxW(owner, ToWide(text).c_str(), ToWide(ApplicationName()).c_str(), MB_OK);
}

std::optional<std::string> ChooseFolder(HWND owner, const std::string& title) {
    if (g_script != nullptr) {
        return NextAnswer(title);
    }
    // The picker starts where the system puts it, not at the folder already in the field.
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&dialog)))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
    dialog->SetTitle(ToWide(title).c_str());
    ComPtr<IShellItem> chosen;
    if (FAILED(dialog->Show(owner)) || FAILED(dialog->GetResult(&chosen))) {
        return std::nullopt;
    }
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
        return std::nullopt;  // a folder of the shell's namespace without a file-system path
    }
    std::string result = ToUtf8(path);
    ::CoTaskMemFree(path);
    return result;
}

std::optional<std::string> ChooseLogFile(HWND owner) {
    if (g_script != nullptr) {
        return NextAnswer("log file");
    }
    const std::wstring filter = FilterText();
    std::wstring file(kPathBufferLength, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = file.data();
    request.nMaxFile = kPathBufferLength;
    // No read-only box; a log file is created by its first line, so a new name is accepted. The
    // dialog leaves the current folder alone: the reading program is started in it.
    request.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&request)) {
        return std::nullopt;
    }
    file.resize(file.find(L'\0'));
    return ToUtf8(file);
}

void SetScript(Script* script) {
    g_script = script;
}

}  // namespace prompts
}  // namespace quillrun::win32ui
