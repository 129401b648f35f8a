#include "shell/welcome_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <utility>

#include "shell/dialog_units.h"
#include "shell/latin1_text.h"
#include "shell/pictures.h"

namespace {

constexpr char kFirstTime[] =
    "This is your first time running Brumvek. Which means in order to join in on the fun, you must tell "
    "Brumvek where it can find DOOM, DOOM II or any of your .WAD files.";
constexpr char kScanOrManual[] =
    "You can have Brumvek scan your system automatically for .WAD files or you can specify your DOOM "
    "folder(s) manually.";
constexpr char kDoItNow[] = "Would you like to do this now?";

// A wrapped, centred text.
QLabel* paragraph(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

}  // namespace

std::string welcomeLine(std::string_view userName) {
    return std::string("Welcome to ") + kWelcomeProduct + " " + std::string(userName) + "!";
}

WelcomeDialog::WelcomeDialog(std::string_view userName, std::function<void(QWidget*)> letsGo, QWidget* parent)
    : QDialog(parent), m_letsGo(std::move(letsGo)) {
    setWindowTitle(QStringLiteral("Welcome!"));
    const DialogUnits du(font());
    const int dialogWidth = du.x(220);

    const int side = du.y(64);
    QLabel* picture = pictureLabel(*this, "picture", QStringLiteral(":/icons/welcome"),
                                   QRect((dialogWidth - side) / 2, du.y(6), side, side));

    auto* line = paragraph(this, fromLatin1Text(welcomeLine(userName)));
    line->setObjectName(QStringLiteral("welcomeLine"));
    makeHeading(*line);

    // The texts are stacked at the height their wrapping needs in this font, so
    // none runs into the next.
    const int left = du.x(10);
    const int textWidth = dialogWidth - 2 * left;
    int y = picture->geometry().bottom() + 1 + du.y(4);
    const auto stack = [&](QLabel* label, int gapAfter) {
        const int height = label->heightForWidth(textWidth);
        label->setGeometry(left, y, textWidth, height);
        y += height + du.y(gapAfter);
    };
    stack(line, 6);
    stack(paragraph(this, QString::fromLatin1(kFirstTime)), 4);
    stack(paragraph(this, QString::fromLatin1(kScanOrManual)), 4);
    stack(paragraph(this, QString::fromLatin1(kDoItNow)), 8);

    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    cancel->setGeometry(dialogWidth / 2 - du.x(54), y, du.x(50), du.y(14));
    auto* go = new QPushButton(QStringLiteral("&Lets Go!"), this);
    go->setObjectName(QStringLiteral("letsGo"));
    go->setDefault(true);
    go->setGeometry(dialogWidth / 2 + du.x(4), y, du.x(50), du.y(14));
    go->setFocus();
    setFixedSize(dialogWidth, y + du.y(14) + du.y(7));

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(go, &QPushButton::clicked, this, &WelcomeDialog::letsGo);
}

void WelcomeDialog::letsGo() {
    if (m_letsGo) {
        m_letsGo(this);
    }
    accept();
}

bool runWelcomeFlow(QWidget* parent, std::string_view userName,
                    const std::function<void(QWidget*)>& openWadDialog,
                    const std::function<void()>& sendMasterRequest) {
    WelcomeDialog dialog(userName, openWadDialog, parent);
    if (dialog.exec() == QDialog::Accepted) {
        return true;
    }
    if (sendMasterRequest) {
        sendMasterRequest();
    }
    return false;
}
