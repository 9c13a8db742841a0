#pragma once

#include <string>

namespace quillrun::platform {

// What kind of failure the system reported, in terms every system can map its own codes to
// (errno values here, GetLastError() values on Windows).
enum class SystemErrorCode {
    NotFound,       // no such file, folder or program
    AccessDenied,   // no permission, or a read-only file system
    AlreadyExists,  // something is already there
    NoSpace,        // the disk or the user's quota is full
    Busy,           // another process holds the file (in use, locked, sharing violation)
    NotAFolder,     // a level of the path is a file
    IsAFolder,      // a file was expected and a folder is there
    NameTooLong,    // the path or one of its names is longer than the system allows
    NotExecutable,  // the file is not a program the system can start
    Other,
};

// A failure reported by the system: its kind, and the system's own words for it ("No such file
// or directory"), ready to be shown to the user as they stand.
struct SystemError {
    SystemErrorCode code = SystemErrorCode::Other;
    std::string message;
};

}  // namespace quillrun::platform
