#include "shell/recent_players_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "accounts/account_service.h"
#include "shell/dialog_units.h"
#include "shell/latin1_text.h"

RecentPlayersDialog::RecentPlayersDialog(AccountService& accounts, QWidget* parent)
    : QDialog(parent), m_accounts(accounts) {
    setWindowTitle(QStringLiteral("Recent Players"));
    buildControls();
}

void RecentPlayersDialog::buildControls() {
    const DialogUnits du(font());
    setFixedSize(du.size(218, 202));

    auto* caption = new QLabel(QStringLiteral("Players that have logged on during the past hour."), this);
    du.place(*caption, 7, 7, 171, 9);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("players"));
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    du.place(*m_list, 7, 18, 150, 162);
    m_lookUpButton = du.button(*this, "&Look Up", "lookUp", 161, 18, 50, 14, ButtonKind::Default);
    m_deleteButton = du.button(*this, "&Delete", "delete", 161, 35, 50, 14);
    m_nameBox = new QLineEdit(this);
    m_nameBox->setObjectName(QStringLiteral("name"));
    du.place(*m_nameBox, 7, 182, 147, 13);
    auto* ok = du.button(*this, "OK", "ok", 161, 181, 50, 14);

    connect(m_list, &QListWidget::itemSelectionChanged, this, &RecentPlayersDialog::selectEntry);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] {
        selectEntry();
        lookUp();
    });
    connect(m_lookUpButton, &QPushButton::clicked, this, &RecentPlayersDialog::lookUp);
    connect(m_deleteButton, &QPushButton::clicked, this, &RecentPlayersDialog::deleteAccount);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void RecentPlayersDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;  // shown again by the window system, not opened
    }
    m_list->clear();
    m_deleteButton->setEnabled(m_accounts.isAdministrator());
    m_lookUpButton->setEnabled(false);
    m_nameBox->setText(m_name);
    m_accounts.requestRecentPlayers();
}

void RecentPlayersDialog::showRecentPlayers(const std::vector<std::string>& names) {
    if (!isVisible()) {
        return;
    }
    m_list->clear();
    for (const std::string& name : names) {
        m_list->addItem(fromLatin1Text(name));
    }
    m_lookUpButton->setEnabled(true);
}

void RecentPlayersDialog::selectEntry() {
    const QListWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return;
    }
    if (item->text() != m_name) {
        m_name = item->text();
    }
    m_nameBox->setText(m_name);
}

void RecentPlayersDialog::lookUp() {
    m_name = m_nameBox->text();
    m_accounts.lookUpPlayer(toLatin1Text(m_name));
}

void RecentPlayersDialog::deleteAccount() {
    m_name = m_nameBox->text();
    m_accounts.deleteAccount(toLatin1Text(m_name));
}
