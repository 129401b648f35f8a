// The extra-parameters and server-password dialogs bound to their settings
// (what each way out stores and saves, the 32-character limit, texts the file
// cannot keep) and the two diagnostic displays.

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstddef>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "launch/config_file.h"
#include "launch/settings.h"
#include "shell/settings_dialogs.h"
#include "shell_test_support.h"

class SettingsDialogsTest : public QObject {
    Q_OBJECT

    QString configFile() const { return m_dir->filePath(QString::fromLatin1(kConfigFileName)); }
    static QLineEdit* field(QDialog& dialog) { return dialog.findChild<QLineEdit*>(QStringLiteral("text")); }
    static void click(QDialog& dialog, const char* name) {
        dialog.findChild<QPushButton*>(QString::fromLatin1(name))->click();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingBoxes m_boxes;

  private slots:
    void init();

    void extraParamsAreStoredAndSavedOnlyByOk();
    void serverPasswordKeepsAtMost32CharactersUnsaved();
    void textsTheFileCannotKeepAreRefused();
    void diagnosticsShowTheSettingsAndChangeNothing();
};

void SettingsDialogsTest::init() {
    resetSettings();
    m_boxes = {};
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void SettingsDialogsTest::extraParamsAreStoredAndSavedOnlyByOk() {
    {
        const auto lock = lockSettings();
        bv_extraparams = "-skill 4";
    }
    ExtraParamsDialog dialog(m_boxes, m_dir->path().toStdString());

    // Escape leaves the setting and the disk alone; the next opening shows the
    // setting again, not what was typed.
    dialog.show();
    QCOMPARE(field(dialog)->text(), QStringLiteral("-skill 4"));
    field(dialog)->setText(QStringLiteral("-fast"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!QFile::exists(configFile()));

    QTimer::singleShot(0, [this] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(modal != nullptr);
        QCOMPARE(field(*modal)->text(), QStringLiteral("-skill 4"));
        field(*modal)->setText(QStringLiteral("-fast -nomonsters"));
        click(*modal, "ok");
    });
    QCOMPARE(dialog.exec(), int{QDialog::Accepted});
    QVERIFY(m_boxes.messages.empty());

    resetSettings();
    BV_LoadConfig(m_dir->path().toStdString());
    const auto lock = lockSettings();
    QCOMPARE(bv_extraparams, std::string("-fast -nomonsters"));
}

void SettingsDialogsTest::serverPasswordKeepsAtMost32CharactersUnsaved() {
    {
        const auto lock = lockSettings();
        bv_serverpassword = "old";
    }
    ServerPasswordDialog dialog(m_boxes);
    dialog.show();
    QCOMPARE(field(dialog)->text(), QStringLiteral("old"));
    field(dialog)->clear();
    QTest::keyClicks(field(dialog), QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCD"));
    click(dialog, "accept");
    QVERIFY(!dialog.isVisible());
    {
        const auto lock = lockSettings();
        QCOMPARE(bv_serverpassword, std::string("0123456789abcdefghijklmnopqrstuv"));
    }
    QVERIFY(!QFile::exists(configFile()));

    dialog.show();
    QCOMPARE(field(dialog)->text(), QStringLiteral("0123456789abcdefghijklmnopqrstuv"));
    field(dialog)->setText(QStringLiteral("other"));
    click(dialog, "cancel");
    QVERIFY(!dialog.isVisible());
    const auto lock = lockSettings();
    QCOMPARE(bv_serverpassword, std::string("0123456789abcdefghijklmnopqrstuv"));
}

void SettingsDialogsTest::textsTheFileCannotKeepAreRefused() {
    ExtraParamsDialog extra(m_boxes, m_dir->path().toStdString());
    ServerPasswordDialog password(m_boxes);
    const struct {
        QDialog* dialog;
        const char* button;
    } dialogs[] = {{&extra, "ok"}, {&password, "accept"}};
    for (const auto& test : dialogs) {
        test.dialog->show();
        for (const QString& text : {QStringLiteral("-nomonsters \u00ff"), QStringLiteral("\u0416")}) {
            m_boxes.messages.clear();
            field(*test.dialog)->setText(text);
            click(*test.dialog, test.button);
            QCOMPARE(m_boxes.messages.size(), size_t{1});
            QCOMPARE(
                m_boxes.messages.front().text.rfind("Sorry, the settings file cannot keep this text.", 0),
                size_t{0});
            QVERIFY(test.dialog->isVisible());
        }
        // Latin-1 beyond ASCII is kept, one byte a character.
        m_boxes.messages.clear();
        field(*test.dialog)->setText(QStringLiteral("caf\u00e9"));
        click(*test.dialog, test.button);
        QVERIFY(m_boxes.messages.empty());
        QVERIFY(!test.dialog->isVisible());
    }
    const auto lock = lockSettings();
    QCOMPARE(bv_extraparams, std::string("caf\xE9"));
    QCOMPARE(bv_serverpassword, std::string("caf\xE9"));
}

void SettingsDialogsTest::diagnosticsShowTheSettingsAndChangeNothing() {
    showWadDirectoryDiagnostics(m_boxes);
    QCOMPARE(m_boxes.messages, (std::vector<UserMessage>{{"wad paths", ""}}));

    {
        const auto lock = lockSettings();
        bv_autologin = 1;
        bv_shownews = 0;
        bv_lastarticleno = 300;
        AddWadDirectory("C:\\DOOM\\", 0);
        AddWadDirectory("D:\\WADS\\", 0);
    }
    m_boxes.messages.clear();
    showSettingsDiagnostics(m_boxes);
    showWadDirectoryDiagnostics(m_boxes);
    QCOMPARE(m_boxes.messages,
             (std::vector<UserMessage>{{"bv_autologin=1\nbv_shownews=0\nbv_lastarticleno=300", ""},
                                       {"wad paths", ""},
                                       {"D:\\WADS\\", ""},
                                       {"C:\\DOOM\\", ""}}));
    const auto lock = lockSettings();
    QCOMPARE(std::distance(wad_directories.begin(), wad_directories.end()), std::ptrdiff_t{2});
    QCOMPARE(bv_lastarticleno, 300);
}

QTEST_MAIN(SettingsDialogsTest)
#include "tst_settings_dialogs.moc"
