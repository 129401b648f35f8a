// Shows each dialog with example contents and saves a picture of it:
// `dialog-screenshots OUTPUT_DIR`. Nothing is sent anywhere that answers; the
// contents are set as the network would set them.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <string>

#include "accounts/account_service.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/transport.h"
#include "shell/account_ui.h"
#include "shell/login_dialog.h"
#include "shell/user_agreement_dialog.h"

namespace {

bool save(QWidget& dialog, const QDir& out, const char* name) {
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        return false;
    }
    QTest::qWait(200);
    const QString path = out.filePath(QString::fromLatin1(name));
    if (!dialog.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

ProfileShowing exampleProfile() {
    ProfileShowing showing;
    storeRecordText(showing.profile.name, "Cyb");
    storeRecordText(showing.profile.bio, "Rockets first, questions later.");
    showing.profile.rank = 1;
    showing.profile.highestRank = 1;
    showing.profile.level = 7;
    showing.profile.experience = 7300;
    showing.profile.accountLevel = 1;
    showing.profile.rankPicture = 7;
    showing.levelFloor = 7000;
    showing.levelCeiling = 8000;
    showing.viewer.accountLevel = kAdministratorLevel;
    return showing;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog-screenshots OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    NET_Init({0, "127.0.0.1"});
    QtMessageBoxes boxes;
    AccountUi ui(boxes);
    AccountService service(ui.views(), AccountConfig{"127.0.0.1:9", {}});

    QTemporaryDir settings;
    bv_rememberpassword = 1;
    bv_username = "alice";
    bv_password = "wonderland";
    BV_SaveConfig(boxes, settings.path().toStdString());
    LoginDialog login(service, boxes, settings.path().toStdString());
    bool ok = save(login, out, "login.png");
    login.hide();

    UserAgreementDialog agreement;
    ok = save(agreement, out, "agreement.png") && ok;

    RecentPlayersDialog recent(service);
    recent.show();
    recent.showRecentPlayers({"alice", "Cyb", "Gaffer", "imp", "Doomguy", "Tallyho"});
    recent.findChild<QListWidget*>()->setCurrentRow(1);
    ok = save(recent, out, "recent-players.png") && ok;

    ProfileShowing showing = exampleProfile();
    ProfileDialog other(service, boxes, showing);
    ok = save(other, out, "player-stats.png") && ok;

    storeRecordText(showing.profile.name, "alice");
    storeRecordText(showing.profile.bio, "Down the rabbit hole.");
    showing.profile.level = 1;
    showing.profile.experience = 1500;
    showing.profile.accountLevel = 0;
    showing.profile.avatar = 12;
    showing.levelFloor = 1000;
    showing.levelCeiling = 2000;
    showing.ownProfile = true;
    showing.viewer.accountLevel = 0;
    ProfileDialog own(service, boxes, showing);
    ok = save(own, out, "player-stats-own.png") && ok;

    NET_Shutdown();
    return ok ? 0 : 1;
}
