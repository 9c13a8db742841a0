#pragma once

#include <string>

#include <QByteArray>
#include <QString>

namespace quillrun::ui {

// Texts cross into the core as the system's narrow bytes and come back the same way.
inline QString FromSystem(const std::string& bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToSystem(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace quillrun::ui
