#include "shell/custom_server_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>

#include "browser/browser_ops.h"
#include "shell/dialog_units.h"
#include "shell/latin1_text.h"

CustomServerDialog::CustomServerDialog(ServerBrowser& browser, QWidget* parent)
    : QDialog(parent), m_browser(browser) {
    setWindowTitle(QStringLiteral("Custom Server Query"));
    const DialogUnits du(font());
    setFixedSize(du.size(186, 64));

    du.place(*new QLabel(QStringLiteral("IP Address"), this), 7, 7, 60, 8);
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setMaxLength(kCustomAddressLength);
    du.place(*m_address, 7, 17, 115, 12);

    du.place(*new QLabel(QStringLiteral("Port"), this), 7, 34, 60, 8);
    m_port = new QLineEdit(this);
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setMaxLength(kCustomPortLength);
    m_port->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(kCustomPortLength)), m_port));
    du.place(*m_port, 7, 44, 50, 12);

    auto* go = du.button(*this, "Go!", "go", 129, 7, 50, 14, ButtonKind::Default);
    auto* cancel = du.button(*this, "Cancel", "cancel", 129, 24, 50, 14, ButtonKind::NeverDefault);

    connect(go, &QPushButton::clicked, this, &CustomServerDialog::go);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CustomServerDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Restoring a minimised dialog is not an opening.
    if (!event->spontaneous()) {
        m_address->clear();
        m_port->setText(QString::fromLatin1(kCustomDefaultPort));
        m_address->setFocus();
    }
}

void CustomServerDialog::go() {
    if (m_browser.CustomServerQuery(toLatin1Text(m_address->text()), toLatin1Text(m_port->text()))) {
        accept();
    }
}
