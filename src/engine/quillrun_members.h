#pragma once

#include <string>

namespace quillrun {

inline constexpr const char* kDefaultCommandArgs = "-in:^S -out:^D -nomessage -x";
inline constexpr int kFirstInterval = 3000;  // until the first idle cycle or reader run
inline constexpr int kLaterInterval = 5000;

// The state that the main dialog's parts share, in declaration order, with the values a new
// dialog starts with. The edit fields mirror into these; the engine reads them, never controls.
struct QuillrunMembers {
    std::string m_sourcePath;
    std::string m_destPath;
    int m_running = 0;  // 1 once OK has been accepted; never cleared
    std::string m_currentImage;
    std::string m_pendingOutput;  // non-empty blocks new searches until released
    std::string m_readerPath;     // enclosed in double quotes
    std::string m_commandArgs = kDefaultCommandArgs;
    int m_interval = kFirstInterval;
    unsigned m_timerId = 0;
    int m_writeLog = 1;
    std::string m_logPath;
    std::string m_user;
    std::string m_password;  // in clear
};

}  // namespace quillrun
