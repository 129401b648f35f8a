// Runs the log-in dialog alone, for the tests of the ways out that end the
// program: `login_gate_child quit|decline|login MASTER SETTINGS_DIR`. Message
// boxes are printed instead of waiting for a user.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "accounts/account_service.h"
#include "net/transport.h"
#include "shell/login_dialog.h"
#include "shell/message_boxes.h"
#include "shell/qt_account_views.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        return 2;
    }
    const QString action = QString::fromLatin1(argv[1]);
    NET_Init({0, "127.0.0.1"});
    PrintedMessageBoxes boxes(true);
    QtAccountViews ui(boxes);
    AccountService service(ui.views(), AccountConfig{argv[2], {}});
    LoginDialog dialog(service, boxes, argv[3]);
    dialog.show();
    const auto click = [](QWidget& window, const char* name) {
        window.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    };
    QTimer::singleShot(0, [&] {
        if (action == QStringLiteral("quit")) {
            click(dialog, "quit");
            return;
        }
        dialog.findChild<QLineEdit*>(QStringLiteral("userName"))->setText(QStringLiteral("alice"));
        dialog.findChild<QLineEdit*>(QStringLiteral("password"))->setText(QStringLiteral("wonderland"));
        if (action == QStringLiteral("decline")) {
            QTimer::singleShot(0, [&] { click(*QApplication::activeModalWidget(), "disagree"); });
            click(dialog, "newAccount");
            return;
        }
        click(dialog, "login");
    });
    // Reaching the end of the event loop means no way out ended the program.
    QTimer::singleShot(20000, &app, &QApplication::quit);
    app.exec();
    return 0;
}
