#pragma once

#include <QDialog>
#include <string>

// "Brumvek Service Agreement", shown on every press of New Account. "I &Agree"
// accepts; "I Disagree", the default button, rejects, and so do Enter and
// Escape. It has no close box.
class UserAgreementDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit UserAgreementDialog(QWidget* parent = nullptr);
};

// The agreement's text, with a carriage return and a line feed at each line
// break.
std::string userAgreementText();
