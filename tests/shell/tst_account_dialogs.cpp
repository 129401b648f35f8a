// The Recent Players and Player Stats dialogs against pellrig-sim's account
// service on loopback, with the receive thread delivering the replies: the
// list, Look Up and its refusals, Delete as administrator and as a player, the
// controls each viewer may use, and bio and administrator updates.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <optional>

#include "accounts/account_service.h"
#include "accounts/account_texts.h"
#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"
#include "net/transport.h"
#include "shell/pictures.h"
#include "shell/profile_dialog.h"
#include "shell/qt_account_views.h"
#include "shell/recent_players_dialog.h"
#include "shell/text_progress_bar.h"
#include "shell_test_support.h"

namespace {

template <typename Widget>
Widget* child(QWidget* parent, const char* name) {
    return parent->findChild<Widget*>(QString::fromLatin1(name));
}

QPushButton* button(QWidget* parent, const char* name) {
    return child<QPushButton>(parent, name);
}

}  // namespace

class AccountDialogsTest : public QObject {
    Q_OBJECT

    // Logs in, starts receiving, and opens the Recent Players dialog.
    void logInAndOpen(const char* user, const char* password);
    // Looks `name` up through the dialog and waits for its Player Stats; null
    // when none came.
    ProfileDialog* lookUp(const char* name);
    void closeProfile();

    std::unique_ptr<SimRunner> m_sim;
    RecordingBoxes m_boxes;
    MemoryQueuedMessageView m_browserMessages;
    MemoryRowView m_serverList;
    MemoryRowView m_playerList;
    std::unique_ptr<Dispatcher> m_dispatcher;
    std::unique_ptr<QtAccountViews> m_ui;
    std::unique_ptr<AccountService> m_service;
    std::unique_ptr<RecentPlayersDialog> m_recent;
    std::optional<ReceiveThread> m_receiver;

  private slots:
    void initTestCase() { NET_Init({0, "127.0.0.1"}); }
    void cleanupTestCase() { NET_Shutdown(); }
    void init();
    void cleanup();

    void recentPlayersListAndLookUp();
    void deleteIsForAdministratorsAndAsksFirst();
    void playerStatsShowsWhatTheViewerMayChange();
    void bioUpdateIsAcknowledged();
    void administratorUpdateCarriesTheNewValues();
    void updateWithoutAnAnswerMayBeTriedAgain();
    void pictureFollowsTheRankUnlessAPersonalOneIsChosen();
};

void AccountDialogsTest::init() {
    m_boxes = {};
    {
        // Each test has a master of its own.
        const auto lock = lockBrowser();
        master_adr = {};
    }
    m_sim = std::make_unique<SimRunner>();
    QVERIFY(!m_sim->master().empty());
    m_dispatcher =
        std::make_unique<Dispatcher>(BrowserViews{m_serverList, m_playerList, m_browserMessages}, nullptr);
    m_ui = std::make_unique<QtAccountViews>(m_boxes);
    m_service = std::make_unique<AccountService>(m_ui->views(), AccountConfig{m_sim->master(), {}},
                                                 m_dispatcher.get());
    m_dispatcher->setAccountHandler(m_service.get());
    m_recent = std::make_unique<RecentPlayersDialog>(*m_service);
    m_ui->attach(*m_service, m_recent.get());
}

void AccountDialogsTest::cleanup() {
    m_receiver.reset();
    m_ui.reset();
    m_recent.reset();
    m_service.reset();
    m_dispatcher.reset();
    m_sim.reset();
}

void AccountDialogsTest::logInAndOpen(const char* user, const char* password) {
    QCOMPARE(m_service->logIn(LoginRequestKind::LogIn, user, password, true).outcome, LoginOutcome::Accepted);
    m_receiver.emplace(*m_dispatcher);
    m_recent->show();
    QTRY_VERIFY(button(m_recent.get(), "lookUp")->isEnabled());
}

ProfileDialog* AccountDialogsTest::lookUp(const char* name) {
    child<QLineEdit>(m_recent.get(), "name")->setText(QString::fromLatin1(name));
    button(m_recent.get(), "lookUp")->click();
    const bool opened = QTest::qWaitFor([this] { return m_ui->profileDialog() != nullptr; }, 5000);
    return opened ? m_ui->profileDialog() : nullptr;
}

void AccountDialogsTest::closeProfile() {
    ProfileDialog* dialog = m_ui->profileDialog();
    if (dialog != nullptr) {
        button(dialog, "cancel")->click();
    }
    QTRY_VERIFY(m_ui->profileDialog() == nullptr);
}

void AccountDialogsTest::recentPlayersListAndLookUp() {
    logInAndOpen("alice", "wonderland");
    auto* list = child<QListWidget>(m_recent.get(), "players");
    // Newest log-in first, then the others in the order the master keeps them.
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(0)->text(), QStringLiteral("alice"));
    QVERIFY(!button(m_recent.get(), "delete")->isEnabled());

    // Selecting fills the name box; a double click looks up exactly that name.
    list->setCurrentRow(1);
    QCOMPARE(child<QLineEdit>(m_recent.get(), "name")->text(), list->item(1)->text());
    const QPoint third = list->visualItemRect(list->item(2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third);
    QTRY_VERIFY(m_ui->profileDialog() != nullptr);
    QCOMPARE(child<QLineEdit>(m_ui->profileDialog(), "name")->text(), list->item(2)->text());
    closeProfile();

    child<QLineEdit>(m_recent.get(), "name")->clear();
    button(m_recent.get(), "lookUp")->click();
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{kNothingInNameBox});
    child<QLineEdit>(m_recent.get(), "name")->setText(QStringLiteral("nobody"));
    button(m_recent.get(), "lookUp")->click();
    QTRY_COMPARE(m_boxes.texts().back(), std::string("No information found for nobody\n"));

    // The name box keeps its text into the next opening; the list starts anew.
    m_recent->accept();
    m_recent->show();
    QCOMPARE(child<QLineEdit>(m_recent.get(), "name")->text(), QStringLiteral("nobody"));
    QVERIFY(!button(m_recent.get(), "lookUp")->isEnabled());
    QTRY_COMPARE(list->count(), 4);
}

void AccountDialogsTest::deleteIsForAdministratorsAndAsksFirst() {
    logInAndOpen("Gaffer", "loupgarou");
    QVERIFY(button(m_recent.get(), "delete")->isEnabled());
    child<QLineEdit>(m_recent.get(), "name")->setText(QStringLiteral("imp"));
    m_boxes.answers = {false};
    button(m_recent.get(), "delete")->click();
    QCOMPARE(m_boxes.questions.size(), size_t{1});
    QCOMPARE(m_boxes.questions[0].caption, std::string(kConfirmDeleteCaption));
    // Nothing went out: imp can still be looked up.
    QVERIFY(lookUp("imp") != nullptr);
    closeProfile();

    button(m_recent.get(), "delete")->click();
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{"imp's account deleted.\n"});
    button(m_recent.get(), "lookUp")->click();
    QTRY_COMPARE(m_boxes.texts().back(), std::string("No information found for imp\n"));
}

void AccountDialogsTest::playerStatsShowsWhatTheViewerMayChange() {
    logInAndOpen("alice", "wonderland");
    ProfileDialog* own = lookUp("ALICE");
    QVERIFY(!child<QComboBox>(own, "accountLevel")->isVisibleTo(own));
    QVERIFY(!child<QPlainTextEdit>(own, "bio")->isReadOnly());
    QVERIFY(child<QLineEdit>(own, "experience")->isReadOnly());
    QVERIFY(button(own, "update")->isEnabled());
    QCOMPARE(child<QLineEdit>(own, "experience")->text(), QStringLiteral("1500"));
    // Level 1 runs from 1000 to 2000 experience.
    QCOMPARE(child<QLabel>(own, "level")->text(), QStringLiteral("1"));
    QCOMPARE(child<QLabel>(own, "nextLevel")->text(), QStringLiteral("2"));
    auto* bar = child<TextProgressBar>(own, "levelBar");
    QCOMPARE(bar->displayText(), QStringLiteral("Level 1"));
    QCOMPARE(bar->minimum(), 1000);
    QCOMPARE(bar->value(), 1500);
    closeProfile();

    ProfileDialog* other = lookUp("Cyb");
    QVERIFY(!child<QComboBox>(other, "accountLevel")->isVisibleTo(other));
    QVERIFY(child<QPlainTextEdit>(other, "bio")->isReadOnly());
    QVERIFY(!button(other, "update")->isEnabled());
    QCOMPARE(child<QPlainTextEdit>(other, "bio")->toPlainText(),
             QStringLiteral("Rockets first, questions later."));
    closeProfile();

    const struct {
        bool own;
        int32_t viewer;
        ProfileControls expected;
    } table[] = {
        {true, 1, {true, false, false, true, true}}, {false, 1, {true, false, false, false, false}},
        {true, 2, {true, false, true, true, true}},  {false, 2, {true, true, true, true, true}},
        {false, 9, {true, true, true, true, true}},
    };
    for (const auto& row : table) {
        const ProfileControls got = profileControls(row.own, row.viewer);
        QCOMPARE(got.levelVisible, row.expected.levelVisible);
        QCOMPARE(got.levelEnabled, row.expected.levelEnabled);
        QCOMPARE(got.experienceEditable, row.expected.experienceEditable);
        QCOMPARE(got.bioEditable, row.expected.bioEditable);
        QCOMPARE(got.updateEnabled, row.expected.updateEnabled);
    }
}

void AccountDialogsTest::bioUpdateIsAcknowledged() {
    logInAndOpen("alice", "wonderland");
    ProfileDialog* own = lookUp("alice");
    QSignalSpy accepted(own, &QDialog::accepted);
    child<QPlainTextEdit>(own, "bio")->setPlainText(QStringLiteral("Down the rabbit hole."));
    button(own, "update")->click();
    QVERIFY(m_boxes.questions.empty());  // players are not asked
    QTRY_COMPARE(accepted.count(), 1);
    QTRY_VERIFY(m_ui->profileDialog() == nullptr);

    own = lookUp("alice");
    QCOMPARE(child<QPlainTextEdit>(own, "bio")->toPlainText(), QStringLiteral("Down the rabbit hole."));
}

void AccountDialogsTest::administratorUpdateCarriesTheNewValues() {
    logInAndOpen("Gaffer", "loupgarou");
    ProfileDialog* other = lookUp("imp");
    // Cyb's profile arrives while imp's dialog is open; the edits stay imp's.
    child<QLineEdit>(m_recent.get(), "name")->setText(QStringLiteral("Cyb"));
    button(m_recent.get(), "lookUp")->click();
    QTRY_COMPARE(recordText(m_service->playerProfile().name), std::string("Cyb"));
    QVERIFY(child<QComboBox>(other, "accountLevel")->isEnabled());
    QVERIFY(!child<QLineEdit>(other, "experience")->isReadOnly());
    child<QLineEdit>(other, "experience")->setText(QStringLiteral("2500"));
    child<QComboBox>(other, "accountLevel")->setCurrentIndex(1);

    m_boxes.answers = {false};
    button(other, "update")->click();
    QCOMPARE(m_boxes.questions.size(), size_t{1});
    QCOMPARE(m_boxes.questions[0].text,
             std::string("Are you sure you want to change imp's information?\n\nBio: Fresh from E1M1.\n"
                         "Experience: 2500\nAccount: 1"));
    QVERIFY(button(other, "update")->isEnabled());  // No: nothing sent

    QSignalSpy accepted(other, &QDialog::accepted);
    button(other, "update")->click();
    QTRY_COMPARE(accepted.count(), 1);
    // Then Cyb's dialog, untouched by imp's update.
    QTRY_VERIFY(m_ui->profileDialog() != nullptr &&
                child<QLineEdit>(m_ui->profileDialog(), "name")->text() == QStringLiteral("Cyb"));
    closeProfile();
    ProfileDialog* cyb = lookUp("Cyb");
    QCOMPARE(child<QPlainTextEdit>(cyb, "bio")->toPlainText(),
             QStringLiteral("Rockets first, questions later."));
    QVERIFY(child<QLineEdit>(cyb, "experience")->text() != QStringLiteral("2500"));
    closeProfile();
    other = lookUp("imp");
    QCOMPARE(child<QLineEdit>(other, "experience")->text(), QStringLiteral("2500"));
    QCOMPARE(child<QComboBox>(other, "accountLevel")->currentIndex(), 1);
    QCOMPARE(child<QLabel>(other, "level")->text(), QStringLiteral("2"));
}

void AccountDialogsTest::updateWithoutAnAnswerMayBeTriedAgain() {
    // Nobody listens at the master's address.
    AccountService service(
        m_ui->views(),
        AccountConfig{"127.0.0.1:9", {std::chrono::milliseconds(300), std::chrono::milliseconds(50)}});
    ProfileShowing showing;
    copyText(showing.profile.name, "alice");
    showing.ownProfile = true;
    ProfileDialog dialog(service, m_boxes, showing);
    dialog.show();
    button(&dialog, "update")->click();
    QVERIFY(!button(&dialog, "update")->isEnabled());
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{kUpdateFailed});
    QVERIFY(button(&dialog, "update")->isEnabled());
    QVERIFY(dialog.isVisible());
}

void AccountDialogsTest::pictureFollowsTheRankUnlessAPersonalOneIsChosen() {
    QCOMPARE(profilePicturePath(0, 0), profilePicturePath(1, 0));
    QCOMPARE(profilePicturePath(7, 55), pictureResource(QStringLiteral(":/pictures/rank_7")));
    QCOMPARE(profilePicturePath(3, 1), pictureResource(QStringLiteral(":/pictures/avatar_01")));
    QCOMPARE(profilePicturePath(3, 54), pictureResource(QStringLiteral(":/pictures/avatar_54")));
    QVERIFY(profilePicturePath(8, 0).isEmpty());
    QVERIFY(profilePicturePath(-1, 0).isEmpty());
    for (int32_t rank = 0; rank <= 7; ++rank) {
        QCOMPARE(profilePicture(rank, 0).size(), kProfilePictureSize);
    }
    QCOMPARE(profilePicture(0, 54).size(), kProfilePictureSize);
}

QTEST_MAIN(AccountDialogsTest)
#include "tst_account_dialogs.moc"
