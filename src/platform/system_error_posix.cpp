#include "platform/system_error_posix.h"

#include <cerrno>
#include <system_error>

namespace quillrun::platform {
namespace {

SystemErrorCode CodeOf(int error) {
    switch (error) {
        case ENOENT:
            return SystemErrorCode::NotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return SystemErrorCode::AccessDenied;
        case EEXIST:
            return SystemErrorCode::AlreadyExists;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return SystemErrorCode::NoSpace;
        case EBUSY:
        case ETXTBSY:
        case EWOULDBLOCK:
            return SystemErrorCode::Busy;
        case ENOTDIR:
            return SystemErrorCode::NotAFolder;
        case EISDIR:
            return SystemErrorCode::IsAFolder;
        case ENAMETOOLONG:
            return SystemErrorCode::NameTooLong;
        case ENOEXEC:
            return SystemErrorCode::NotExecutable;
        default:
            return SystemErrorCode::Other;
    }
}

}  // namespace

SystemError SystemErrorFromErrno(int error) {
    // The generic category gives strerror's words without strerror's shared buffer.
    return {CodeOf(error), std::generic_category().message(error)};
}

}  // namespace quillrun::platform
