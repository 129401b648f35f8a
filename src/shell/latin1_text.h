#pragma once

#include <QString>
#include <string>
#include <string_view>

// The core's texts are 8-bit, one byte a character, as the master server and
// the settings file keep them; the widgets hold them as Latin-1. A character
// that has no byte of its own becomes '?'.

inline QString fromLatin1Text(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toLatin1Text(const QString& text) {
    return text.toLatin1().toStdString();
}
