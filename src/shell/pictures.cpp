#include "shell/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

constexpr int32_t kPersonalPictures = 54;
constexpr int32_t kHighestRankPicture = 7;

}  // namespace

QPixmap renderPicture(const QString& path, const QSize& size) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return {};
    }
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return pixmap;
}

QPixmap loginBanner(const QSize& size) {
    return renderPicture(QStringLiteral(":/pictures/banner.svg"), size);
}

QString profilePicturePath(int32_t rankPicture, int32_t avatar) {
    if (avatar >= 1 && avatar <= kPersonalPictures) {
        return QStringLiteral(":/pictures/avatar_%1.svg").arg(avatar, 2, 10, QLatin1Char('0'));
    }
    if (rankPicture < 0 || rankPicture > kHighestRankPicture) {
        return {};
    }
    return QStringLiteral(":/pictures/rank_%1.svg").arg(rankPicture == 0 ? 1 : rankPicture);
}

QPixmap profilePicture(int32_t rankPicture, int32_t avatar) {
    const QString path = profilePicturePath(rankPicture, avatar);
    return path.isEmpty() ? QPixmap() : renderPicture(path, kProfilePictureSize);
}
