#include "shell/about_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <algorithm>

#include "shell/dialog_units.h"
#include "shell/pictures.h"

namespace {

constexpr char kDescription[] =
    "Lists the Brumvek game servers that the master server knows, with their players, maps and WADs, "
    "and starts the game on the one you pick with every WAD it needs, found in your WAD directories. "
    "It also keeps your Brumvek account and shows players' statistics.";

const QString kIconBase = QStringLiteral(":/icons/pellrig");

}  // namespace

QIcon applicationIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(renderPicture(pictureResource(kIconBase), QSize(side, side)));
    }
    return icon;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Brumvek"));
    const DialogUnits du(font());
    const int dialogWidth = du.x(230);

    const int side = du.y(32);
    QLabel* icon = pictureLabel(*this, "icon", kIconBase, QRect(du.x(9), du.y(9), side, side));

    auto* name = new QLabel(QString::fromLatin1(kAboutName), this);
    name->setObjectName(QStringLiteral("name"));
    makeHeading(*name);
    du.place(*name, 52, 9, 120, 9);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(QString::fromLatin1(kAboutVersion)), this);
    version->setObjectName(QStringLiteral("version"));
    du.place(*version, 52, 20, 120, 8);

    // As tall as its wrapping needs in this font; the box grows with it.
    auto* description = new QLabel(QString::fromLatin1(kDescription), this);
    description->setObjectName(QStringLiteral("description"));
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int textLeft = du.x(52);
    const int textWidth = dialogWidth - textLeft - du.x(7);
    description->setGeometry(textLeft, du.y(33), textWidth, description->heightForWidth(textWidth));
    const int y = std::max(description->geometry().bottom() + 1, icon->geometry().bottom() + 1) + du.y(6);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(du.x(7), y, dialogWidth - du.x(14), du.y(2));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    ok->setGeometry(dialogWidth - du.x(57), y + du.y(6), du.x(50), du.y(14));
    ok->setFocus();
    setFixedSize(dialogWidth, ok->geometry().bottom() + 1 + du.y(6));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void showAboutBox(QWidget* parent) {
    AboutDialog dialog(parent);
    dialog.exec();
}
