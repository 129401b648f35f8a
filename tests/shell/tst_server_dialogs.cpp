// The server dialogs and the first-run welcome: Detailed Server Info's fill
// rules, the Custom Server Query dialog's fields and its Go! against a
// pellrig-sim game server on loopback followed by the details of the server it
// found, the welcome flow's ways out, and the icons the shell draws.

#include <QApplication>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cstring>
#include <memory>

#include "browser/browser_ops.h"
#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/receive_thread.h"
#include "net/transport.h"
#include "shell/about_dialog.h"
#include "shell/custom_server_dialog.h"
#include "shell/detailed_info_dialog.h"
#include "shell/pictures.h"
#include "shell/welcome_dialog.h"
#include "shell_test_support.h"

namespace {

template <typename Widget = QLineEdit>
Widget* child(QWidget* parent, const char* name) {
    return parent->findChild<Widget*>(QString::fromLatin1(name));
}

// Runs `action` on the modal dialog that opens next, once it is up.
void inNextModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        action(modal);
    });
}

ServerRecord sampleRecord() {
    ServerRecord record{};
    copyText(record.name, "Hell Gate");
    copyText(record.address, "127.0.0.1:10666");
    copyText(record.iwad, "doom2.wad");
    copyText(record.pwads[0], "a.wad");
    copyText(record.pwads[1], "b.wad");
    record.num_pwads = 2;
    record.dmflags = 1234567;
    record.dmflags2 = -8;
    copyText(record.email, "admin@example.org");
    copyText(record.url, "http://example.org");
    return record;
}

QImage renderIcon(const QString& name) {
    return renderPicture(pictureResource(QStringLiteral(":/icons/") + name), {16, 16}).toImage();
}

}  // namespace

class ServerDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { NET_Init({0, "127.0.0.1"}); }
    void cleanupTestCase() { NET_Shutdown(); }

    void detailedInfoFillRules();
    void customServerDialogFields();
    void customServerGoQueriesTheServerTypedIn();
    void welcomeFlowEndings();
    void iconsAreRegisteredAndDrawable();
};

void ServerDialogsTest::detailedInfoFillRules() {
    const DetailedInfoTexts texts = detailedInfoTexts(sampleRecord());
    QCOMPARE(texts.summary, std::string("Hell Gate\r\n\r\n127.0.0.1:10666"));
    QCOMPARE(texts.pwads, std::string("a.wad, b.wad, "));
    QCOMPARE(texts.dmflags, std::string("1234567"));
    QCOMPARE(texts.dmflags2, std::string("-8"));

    for (const auto& [scorecard, shown] : {std::pair{0, "No"}, {1, "Yes"}, {2, "Yes"}, {-1, "No"}}) {
        ServerRecord record = sampleRecord();
        record.scorecard = scorecard;
        QCOMPARE(detailedInfoTexts(record).scorecard, std::string(shown));
    }

    // No PWADs, a count beyond the four names kept, and a text that fills its
    // whole array without a terminator.
    ServerRecord odd = sampleRecord();
    odd.num_pwads = 0;
    QCOMPARE(detailedInfoTexts(odd).pwads, std::string());
    odd.num_pwads = 9;
    copyText(odd.pwads[2], "c.wad");
    copyText(odd.pwads[3], "d.wad");
    QCOMPARE(detailedInfoTexts(odd).pwads, std::string("a.wad, b.wad, c.wad, d.wad, "));
    std::memset(odd.url, 'u', sizeof odd.url);
    QCOMPARE(detailedInfoTexts(odd).url, std::string(sizeof odd.url, 'u'));

    // The dialog shows the same, read-only, the summary on three lines.
    DetailedInfoDialog dialog(sampleRecord());
    QCOMPARE(child<QTextEdit>(&dialog, "summary")->toPlainText(),
             QStringLiteral("Hell Gate\n\n127.0.0.1:10666"));
    QVERIFY(child<QTextEdit>(&dialog, "summary")->isReadOnly());
    QCOMPARE(child(&dialog, "pwads")->text(), QStringLiteral("a.wad, b.wad, "));
    QCOMPARE(child(&dialog, "email")->text(), QStringLiteral("admin@example.org"));
    for (const QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
        QVERIFY(field->isReadOnly());
    }
}

void ServerDialogsTest::customServerDialogFields() {
    MemoryRowView serverList;
    MemoryRowView playerList;
    MemoryQueuedMessageView messages;
    ServerBrowser browser({serverList, playerList, messages});
    CustomServerDialog dialog(browser);
    QLineEdit* address = child(&dialog, "address");
    QLineEdit* port = child(&dialog, "port");

    for (int opening = 0; opening < 2; ++opening) {
        dialog.show();
        QCOMPARE(port->text(), QStringLiteral("10666"));
        QCOMPARE(address->text(), QString());
        QTest::keyClicks(address, QString(70, QLatin1Char('a')));
        QCOMPARE(address->text().size(), 64);
        port->clear();
        QTest::keyClicks(port, QStringLiteral("1x2-3 4567899"));
        QCOMPARE(port->text(), QStringLiteral("12345678"));
        port->clear();
        port->insert(QStringLiteral("10a"));  // pasted text is checked too
        QCOMPARE(port->text(), QString());
        child<QPushButton>(&dialog, "cancel")->click();
        QVERIFY(!dialog.isVisible());
    }
    QVERIFY(messages.messages().empty());

    // Go! with a field empty: the query's own message, and the dialog stays.
    dialog.show();
    child<QPushButton>(&dialog, "go")->click();
    address->setText(QStringLiteral("127.0.0.1"));
    port->clear();
    child<QPushButton>(&dialog, "go")->click();
    const std::vector<MemoryQueuedMessageView::Message> expected{{kNoServerAddress, kErrorCaption},
                                                                 {kNoPortNumber, kErrorCaption}};
    QCOMPARE(messages.messages(), expected);
    QVERIFY(dialog.isVisible());
    QVERIFY(serverList.rows().empty());
}

void ServerDialogsTest::customServerGoQueriesTheServerTypedIn() {
    QTemporaryDir dir;
    QFile scenario(dir.filePath(QStringLiteral("one.json")));
    QVERIFY(scenario.open(QIODevice::WriteOnly));
    scenario.write(R"({"servers": [{"name": "Hell Gate", "pwads": ["a.wad", "b.wad"], "dmflags2": 99}]})");
    scenario.close();
    SimRunner sim({QStringLiteral("--scenario"), scenario.fileName(), QStringLiteral("--print-servers")});
    QCOMPARE(sim.servers().size(), 1);
    const QString server = sim.servers().constFirst();

    MemoryRowView serverList;
    MemoryRowView playerList;
    MemoryQueuedMessageView messages;
    const BrowserViews views{serverList, playerList, messages};
    ServerBrowser browser(views);
    Dispatcher dispatcher(views, nullptr);
    ReceiveThread receiver(dispatcher);
    // An old list that the query replaces.
    serverList.insertRow(0, 0, 0);
    serverList.insertRow(0, 1, 0);

    CustomServerDialog dialog(browser);
    dialog.show();
    child(&dialog, "address")->setText(server.section(QLatin1Char(':'), 0, 0));
    child(&dialog, "port")->setText(server.section(QLatin1Char(':'), 1, 1));
    QTest::keyClick(child(&dialog, "port"), Qt::Key_Return);  // Go! is the default
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QVERIFY(serverList.waitUntil(
        [](const std::vector<MemoryRowView::Row>& rows) {
            return rows.size() == 1 && rows[0].cell(column(ServerColumn::Name)) == "Hell Gate";
        },
        std::chrono::seconds(5)));

    // Detailed Server Info on it: nothing selected yet, then the server's details.
    RecordingBoxes boxes;
    showDetailedServerInfo(browser.GetSelectedServer(), boxes);
    QCOMPARE(boxes.texts(), std::vector<std::string>{"Detailed Info: No server selected\n"});
    QCOMPARE(boxes.messages[0].caption, std::string());
    serverList.select(0);
    QString summary;
    QString pwads;
    inNextModal([&](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), QStringLiteral("Detailed Server Info"));
        summary = child<QTextEdit>(modal, "summary")->toPlainText();
        pwads = child(modal, "pwads")->text();
        child<QPushButton>(modal, "ok")->click();
    });
    showDetailedServerInfo(browser.GetSelectedServer(), boxes);
    QCOMPARE(summary, QStringLiteral("Hell Gate\n\n") + server);
    QCOMPARE(pwads, QStringLiteral("a.wad, b.wad, "));
    QCOMPARE(boxes.messages.size(), size_t{1});
    QVERIFY(messages.messages().empty());
}

void ServerDialogsTest::welcomeFlowEndings() {
    QCOMPARE(welcomeLine("Alice"), std::string("Welcome to Brumvek v1.04b Alice!"));
    const struct {
        std::function<void(QWidget*)> end;
        bool letsGo;
    } endings[] = {
        {[](QWidget* modal) { child<QPushButton>(modal, "letsGo")->click(); }, true},
        {[](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); }, true},
        {[](QWidget* modal) { child<QPushButton>(modal, "cancel")->click(); }, false},
        {[](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); }, false},
        {[](QWidget* modal) { modal->close(); }, false},
    };
    for (const auto& ending : endings) {
        int wadDialogs = 0;
        int masterRequests = 0;
        bool welcomeOpenMeanwhile = false;
        QString line;
        inNextModal([&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QStringLiteral("Welcome!"));
            line = child<QLabel>(modal, "welcomeLine")->text();
            ending.end(modal);
        });
        const bool letsGo = runWelcomeFlow(
            nullptr, "Alice",
            [&](QWidget* welcome) {
                ++wadDialogs;
                welcomeOpenMeanwhile = welcome->isVisible();
            },
            [&] { ++masterRequests; });
        QCOMPARE(line, QStringLiteral("Welcome to Brumvek v1.04b Alice!"));
        QCOMPARE(letsGo, ending.letsGo);
        QCOMPARE(wadDialogs, ending.letsGo ? 1 : 0);
        QCOMPARE(welcomeOpenMeanwhile, ending.letsGo);
        QCOMPARE(masterRequests, ending.letsGo ? 0 : 1);
    }
}

void ServerDialogsTest::iconsAreRegisteredAndDrawable() {
    QStringList icons{QStringLiteral("server"), QStringLiteral("server_scorecard"), QStringLiteral("pellrig"),
                      QStringLiteral("welcome")};
    for (const char* button :
         {"launch", "refresh", "refresh_all", "query_master", "wad_directories", "player_lookup", "about"}) {
        for (const char* state : {"", "_hot", "_disabled"}) {
            icons << QStringLiteral("toolbar_%1%2")
                         .arg(QString::fromLatin1(button), QString::fromLatin1(state));
        }
    }
    for (const QString& name : icons) {
        const QImageReader drawing(pictureResource(QStringLiteral(":/icons/") + name));
        QVERIFY2(drawing.canRead(), qPrintable(name));
        if (name.startsWith(QStringLiteral("toolbar_"))) {
            QCOMPARE(drawing.size(), QSize(32, 31));
        }
    }

    // The scorecard icon is the plain one with a tick in its lower right.
    const QImage plain = renderIcon(QStringLiteral("server"));
    const QImage ticked = renderIcon(QStringLiteral("server_scorecard"));
    QCOMPARE(plain.copy(0, 0, 16, 5), ticked.copy(0, 0, 16, 5));
    QCOMPARE(plain.copy(0, 0, 4, 16), ticked.copy(0, 0, 4, 16));
    QVERIFY(plain.copy(8, 8, 8, 8) != ticked.copy(8, 8, 8, 8));

    AboutDialog about;
    const QImage icon = child<QLabel>(&about, "icon")->pixmap().toImage();
    QVERIFY(icon.pixelColor(icon.width() / 2, icon.height() / 2).alpha() > 0);
}

QTEST_MAIN(ServerDialogsTest)
#include "tst_server_dialogs.moc"
