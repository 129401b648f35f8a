#include "shell/qt_account_views.h"

#include <QApplication>
#include <QMetaObject>
#include <utility>

#include "shell/profile_dialog.h"
#include "shell/recent_players_dialog.h"

QtAccountViews::QtAccountViews(MessageBoxes& boxes, QObject* parent)
    : QObject(parent), m_boxes(boxes), m_messages(boxes, this) {}

QtAccountViews::~QtAccountViews() {
    delete m_profileDialog;
}

void QtAccountViews::attach(AccountService& service, RecentPlayersDialog* recentPlayers) {
    m_service = &service;
    m_recentPlayers = recentPlayers;
}

void QtAccountViews::showRecentPlayers(std::vector<std::string> names) {
    QMetaObject::invokeMethod(
        this,
        [this, names = std::move(names)] {
            if (m_recentPlayers != nullptr) {
                m_recentPlayers->showRecentPlayers(names);
            }
        },
        Qt::QueuedConnection);
}

void QtAccountViews::showProfile(ProfileShowing showing) {
    QMetaObject::invokeMethod(
        this,
        [this, showing] {
            m_pendingProfiles.push_back(showing);
            openNextProfile();
        },
        Qt::QueuedConnection);
}

void QtAccountViews::openNextProfile() {
    if (m_profileDialog != nullptr || m_pendingProfiles.empty() || m_service == nullptr) {
        return;
    }
    // Above whichever window asked for it, normally the Recent Players dialog.
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr) {
        parent = QApplication::activeWindow();
    }
    m_profileDialog = new ProfileDialog(*m_service, m_boxes, m_pendingProfiles.front(), parent);
    m_pendingProfiles.pop_front();
    m_profileDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_profileDialog, &QDialog::finished, this, [this] {
        QMetaObject::invokeMethod(this, &QtAccountViews::openNextProfile, Qt::QueuedConnection);
    });
    m_profileDialog->open();
}
