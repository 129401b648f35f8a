#include "shell/user_agreement_dialog.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "shell/dialog_units.h"
#include "shell/latin1_text.h"

namespace {

constexpr char kBreak[] = "\r\n";

constexpr const char* kRules[] = {
    "1. No racist, homophobic, derogatory, threatening, abusive or harassing comments about any person or "
    "group.",
    "2. No slanderous or false information - Knowingly making false claims about a company, organization or "
    "an "
    "individual is prohibited.",
    "3. While the Brumvek community is encouraged to be competitive, we do not tolerate personal attacks "
    "againsts "
    "another user or their personal belives.",
    "4. No Spamming - Dont spam the servers or the master server with multiple accounts.",
    "5. Fair Play - Cheating or the use of any other exploit is strictly prohibited.",
    "6. Passwords - You are responsible for keeping your own passwords.  Brumvek administrators do not have "
    "the "
    "ability to reset passwords for accounts nor will we look up your password for you.",
    "7. Old Accounts - Keep in mind that any account that is not used within thirty (30) days will be "
    "automatically removed from the master server.",
};

}  // namespace

std::string userAgreementText() {
    std::string text;
    const auto paragraph = [&text](const std::string& piece) {
        text += piece;
        text += kBreak;
        text += kBreak;
    };
    text += "BRUMVEK END-USER AGREEMENT";
    text += kBreak;
    paragraph(std::string(74, '-'));
    text +=
        "Brumvek is a simply a port for DOOMers world wide to have fun with. Every player who signs up for "
        "an "
        "account agrees to keep it that way. The rules below hold on every server the master server lists "
        "and for "
        "everything kept in your account. Breaking them may cost you your account. Please read the "
        "guidelines "
        "below and make sure that you agree with all of them before you go on.";
    text += kBreak;
    text += kBreak;
    for (const char* rule : kRules) {
        paragraph(rule);
    }
    paragraph(
        "Brumvek administrators reserve the right to modify and/or delete any account without any warning. "
        "You "
        "answer for everything that is done under your account or from your IP address. The administrators "
        "may "
        "block your access to any part of the service.");
    paragraph(
        "Please Note: Any information that you store in your account will never be given to any third party "
        "or any "
        "partners.");
    paragraph("Finally, above all have fun and happy fragging!");
    return text;
}

UserAgreementDialog::UserAgreementDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Brumvek Service Agreement"));
    const DialogUnits du(font());
    setFixedSize(du.size(328, 154));

    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("agreement"));
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setPlainText(
        fromLatin1Text(userAgreementText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    du.place(*text, 7, 7, 314, 121);

    auto* agree = du.button(*this, "I &Agree", "agree", 213, 133, 50, 14, ButtonKind::NeverDefault);
    auto* disagree = du.button(*this, "I Disagree", "disagree", 271, 133, 50, 14, ButtonKind::Default);
    disagree->setFocus();

    connect(agree, &QPushButton::clicked, this, &QDialog::accept);
    connect(disagree, &QPushButton::clicked, this, &QDialog::reject);
}
