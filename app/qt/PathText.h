#pragma once

#include <QString>

#include <filesystem>

namespace velmora::app {

// Paths between Qt's text and the core's std::filesystem::path, without losing characters.
inline std::filesystem::path toPath(const QString& text) {
#ifdef _WIN32
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(text.toStdString());
#endif
}

inline QString toQString(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QString::fromStdString(path.string());
#endif
}

} // namespace velmora::app
