#include "shell/pictures.h"

#include <QLabel>
#include <QPainter>

#ifdef PELLRIG_SVG_PICTURES
#include <QSvgRenderer>
#endif

namespace {

constexpr int32_t kPersonalPictures = 54;
constexpr int32_t kHighestRankPicture = 7;

}  // namespace

#ifdef PELLRIG_SVG_PICTURES

QString pictureResource(const QString& base) {
    return base + QStringLiteral(".svg");
}

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

#else

QString pictureResource(const QString& base) {
    return base + QStringLiteral(".png");
}

QPixmap renderPicture(const QString& path, const QSize& size) {
    // The larger drawing keeps detail when scaled to a size between the two.
    QPixmap drawn(QString(path).replace(QStringLiteral(".png"), QStringLiteral("@2x.png")));
    if (drawn.isNull() && !drawn.load(path)) {
        return {};
    }
    drawn.setDevicePixelRatio(1.0);
    return drawn.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

#endif

QLabel* pictureLabel(QWidget& parent, const char* name, const QString& base, const QRect& where) {
    auto* label = new QLabel(&parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(where);
    label->setPixmap(renderPicture(pictureResource(base), where.size()));
    return label;
}

void makeHeading(QLabel& label) {
    QFont bold = label.font();
    bold.setBold(true);
    label.setFont(bold);
}

QPixmap loginBanner(const QSize& size) {
    return renderPicture(pictureResource(QStringLiteral(":/pictures/banner")), size);
}

QString profilePicturePath(int32_t rankPicture, int32_t avatar) {
    if (avatar >= 1 && avatar <= kPersonalPictures) {
        return pictureResource(QStringLiteral(":/pictures/avatar_%1").arg(avatar, 2, 10, QLatin1Char('0')));
    }
    if (rankPicture < 0 || rankPicture > kHighestRankPicture) {
        return {};
    }
    return pictureResource(QStringLiteral(":/pictures/rank_%1").arg(rankPicture == 0 ? 1 : rankPicture));
}

QPixmap profilePicture(int32_t rankPicture, int32_t avatar) {
    const QString path = profilePicturePath(rankPicture, avatar);
    return path.isEmpty() ? QPixmap() : renderPicture(path, kProfilePictureSize);
}
