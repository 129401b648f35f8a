#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <cstdint>

// The pictures of the account dialogs, drawn from the program's resources at
// the size asked for.

// The SVG resource at `path` drawn to fill `size`; null when it cannot be read.
QPixmap renderPicture(const QString& path, const QSize& size);

// The log-in dialog's banner, made to fill `size`.
QPixmap loginBanner(const QSize& size);

inline constexpr QSize kProfilePictureSize{131, 128};

// The resource the profile dialog draws for a profile: personal picture 1..54
// for `avatar` 1..54, else the rank picture (0 and 1 share the first of seven).
// Empty for a rank picture outside 0..7 without a personal picture.
QString profilePicturePath(int32_t rankPicture, int32_t avatar);

// That picture at kProfilePictureSize; null when the path is empty.
QPixmap profilePicture(int32_t rankPicture, int32_t avatar);
