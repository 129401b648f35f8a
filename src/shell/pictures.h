#pragma once

#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>

class QLabel;
class QWidget;

// The pictures and icons of the program, drawn from its resources at the size
// asked for. A build with Qt Svg carries them as SVG; one without carries them
// drawn ahead of time as PNG, at their own size and at twice that.

// The resource of the picture or icon `base`, a resource path without its
// suffix such as ":/icons/server".
QString pictureResource(const QString& base);

// The resource at `path` (from pictureResource) drawn to fill `size`; null when
// it cannot be read.
QPixmap renderPicture(const QString& path, const QSize& size);

// A label `name` on `parent` at `where`, showing the picture or icon `base`
// drawn to fill it.
QLabel* pictureLabel(QWidget& parent, const char* name, const QString& base, const QRect& where);

// Sets `label` in the bold of its font: the heading of a dialog.
void makeHeading(QLabel& label);

// The log-in dialog's banner, made to fill `size`.
QPixmap loginBanner(const QSize& size);

inline constexpr QSize kProfilePictureSize{131, 128};

// The resource the profile dialog draws for a profile: personal picture 1..54
// for `avatar` 1..54, else the rank picture (0 and 1 share the first of seven).
// Empty for a rank picture outside 0..7 without a personal picture.
QString profilePicturePath(int32_t rankPicture, int32_t avatar);

// That picture at kProfilePictureSize; null when the path is empty.
QPixmap profilePicture(int32_t rankPicture, int32_t avatar);
