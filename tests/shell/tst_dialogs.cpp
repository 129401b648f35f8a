// The smaller dialogs: Detailed Server Info's fill rules, the Custom Server
// Query dialog's fields and its Go! followed by the details of the server it
// listed, the welcome's Lets Go!, and the extra-parameters and server-password
// dialogs bound to their settings (what each way out stores and saves, the
// length limit, texts the file cannot keep), and the icons the shell draws.

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <cstring>

#include "browser/browser_ops.h"
#include "browser/memory_row_view.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/transport.h"
#include "shell/about_dialog.h"
#include "shell/custom_server_dialog.h"
#include "shell/detailed_info_dialog.h"
#include "shell/pictures.h"
#include "shell/settings_dialogs.h"
#include "shell/welcome_dialog.h"
#include "shell_test_support.h"

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { NET_Init({0, "127.0.0.1"}); }
    void init() { resetSettings(); }
    void cleanupTestCase() { NET_Shutdown(); }

    void detailedInfoFillRules();
    void customServerQueryAndItsDetails();
    void welcomeLetsGoOpensTheWadDialogOverIt();
    void settingDialogsKeepWhatTheirAcceptStores();
    void iconsAreRegisteredAndDrawable();
};

void DialogsTest::detailedInfoFillRules() {
    ServerRecord sample{};
    copyText(sample.name, "Hell Gate");
    copyText(sample.address, "127.0.0.1:10666");
    copyText(sample.pwads[0], "a.wad");
    copyText(sample.pwads[1], "b.wad");
    sample.num_pwads = 2;
    sample.dmflags = 1234567;
    sample.dmflags2 = -8;
    const DetailedInfoTexts texts = detailedInfoTexts(sample);
    QCOMPARE(texts.summary, std::string("Hell Gate\r\n\r\n127.0.0.1:10666"));
    QCOMPARE(texts.pwads, std::string("a.wad, b.wad, "));
    QCOMPARE(texts.dmflags + " " + texts.dmflags2, std::string("1234567 -8"));

    for (const auto& [scorecard, shown] : {std::pair{0, "No"}, {1, "Yes"}, {2, "Yes"}, {-1, "No"}}) {
        ServerRecord record = sample;
        record.scorecard = scorecard;
        QCOMPARE(detailedInfoTexts(record).scorecard, std::string(shown));
    }

    // No PWADs, a count beyond the four names kept, and a text that fills its
    // whole array without a terminator.
    ServerRecord odd = sample;
    odd.num_pwads = 0;
    QCOMPARE(detailedInfoTexts(odd).pwads, std::string());
    odd.num_pwads = 9;
    copyText(odd.pwads[2], "c.wad");
    copyText(odd.pwads[3], "d.wad");
    QCOMPARE(detailedInfoTexts(odd).pwads, std::string("a.wad, b.wad, c.wad, d.wad, "));
    std::memset(odd.url, 'u', sizeof odd.url);
    QCOMPARE(detailedInfoTexts(odd).url, std::string(sizeof odd.url, 'u'));
}

void DialogsTest::customServerQueryAndItsDetails() {
    MemoryRowView serverList;
    MemoryRowView playerList;
    MemoryQueuedMessageView messages;
    ServerBrowser browser({serverList, playerList, messages});
    CustomServerDialog dialog(browser);
    auto* address = child<QLineEdit>(&dialog, "address");
    auto* port = child<QLineEdit>(&dialog, "port");

    dialog.show();
    QTest::keyClicks(address, QString(70, QLatin1Char('a')));
    QCOMPARE(address->text().size(), 64);
    port->clear();
    QTest::keyClicks(port, QStringLiteral("1x2-3 4567899"));
    QCOMPARE(port->text(), QStringLiteral("12345678"));
    port->clear();
    port->insert(QStringLiteral("10a"));  // pasted text is checked too
    QCOMPARE(port->text(), QString());
    child(&dialog, "cancel")->click();
    QVERIFY(!dialog.isVisible());

    // Each opening starts afresh; Go! with a field empty is refused and the
    // dialog stays.
    dialog.show();
    QCOMPARE(port->text(), QStringLiteral("10666"));
    QCOMPARE(address->text(), QString());
    child(&dialog, "go")->click();
    QCOMPARE(messages.messages().size(), size_t{1});
    QVERIFY(dialog.isVisible());

    // Go! is the default button; the query lists the server at once.
    address->setText(QStringLiteral("127.0.0.1"));
    QTest::keyClick(port, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(serverList.rows().size(), size_t{1});

    // Detailed Server Info on it.
    serverList.select(0);
    QString summary;
    const ModalScript details({{QStringLiteral("Detailed Server Info"), [&summary](QWidget& modal) {
                                    summary = child<QTextEdit>(&modal, "summary")->toPlainText();
                                    child(&modal, "ok")->click();
                                }}});
    RecordingBoxes boxes;
    showDetailedServerInfo(browser.GetSelectedServer(), boxes);
    QCOMPARE(summary, QStringLiteral("\n\n127.0.0.1:10666"));
    QVERIFY(boxes.messages.empty());
}

void DialogsTest::welcomeLetsGoOpensTheWadDialogOverIt() {
    // Return presses Lets Go!; Cancel's master request is the main window's test.
    bool welcomeOpenMeanwhile = false;
    bool masterRequested = false;
    const ModalScript script(
        {{QStringLiteral("Welcome!"), [](QWidget& modal) { QTest::keyClick(&modal, Qt::Key_Return); }}});
    QVERIFY(runWelcomeFlow(
        nullptr, "Alice", [&](QWidget* welcome) { welcomeOpenMeanwhile = welcome->isVisible(); },
        [&] { masterRequested = true; }));
    QVERIFY(welcomeOpenMeanwhile && !masterRequested);
}

void DialogsTest::settingDialogsKeepWhatTheirAcceptStores() {
    QTemporaryDir dir;
    RecordingBoxes boxes;
    ExtraParamsDialog extra(boxes, dir.path().toStdString());
    ServerPasswordDialog password(boxes);
    const struct {
        QDialog* dialog;
        const char* accept;
        std::string* setting;
        size_t maxLength;
        bool saves;
    } cases[] = {{&extra, "ok", &bv_extraparams, kMaxExtraParams, true},
                 {&password, "accept", &bv_serverpassword, 32, false}};
    const QString configFile = dir.filePath(QString::fromLatin1(kConfigFileName));
    for (const auto& test : cases) {
        QFile::remove(configFile);
        *test.setting = "old";
        QLineEdit* field = child<QLineEdit>(test.dialog, "text");
        // Escape or Cancel changes nothing; the next opening shows the setting.
        test.dialog->show();
        QCOMPARE(field->text(), QStringLiteral("old"));
        field->setText(QStringLiteral("new"));
        if (test.dialog == &password) {
            child(test.dialog, "cancel")->click();
        } else {
            QTest::keyClick(test.dialog, Qt::Key_Escape);
        }
        QVERIFY(!test.dialog->isVisible());
        test.dialog->show();
        QCOMPARE(field->text(), QStringLiteral("old"));

        field->clear();
        QTest::keyClicks(field, QString(static_cast<int>(test.maxLength) + 8, QLatin1Char('x')));
        QCOMPARE(field->text().size(), static_cast<int>(test.maxLength));
        // Beyond Latin-1: refused with a box, and the dialog stays.
        field->setText(QStringLiteral("\u0416"));
        child(test.dialog, test.accept)->click();
        QCOMPARE(boxes.messages.size(), size_t{1});
        QVERIFY(boxes.messages.front().text.starts_with("Sorry, the settings file cannot keep this text."));
        QVERIFY(test.dialog->isVisible());
        // Latin-1 beyond ASCII is kept, one byte a character.
        boxes.messages.clear();
        field->setText(QStringLiteral("caf\u00e9"));
        child(test.dialog, test.accept)->click();
        QVERIFY(boxes.messages.empty());
        QVERIFY(!test.dialog->isVisible());
        QCOMPARE(*test.setting, std::string("caf\xE9"));
        QCOMPARE(QFile::exists(configFile), test.saves);
    }
}

void DialogsTest::iconsAreRegisteredAndDrawable() {
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

    AboutDialog about;
    const QImage icon = child<QLabel>(&about, "icon")->pixmap().toImage();
    QVERIFY(icon.pixelColor(icon.width() / 2, icon.height() / 2).alpha() > 0);
}

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
