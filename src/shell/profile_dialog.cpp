#include "shell/profile_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <algorithm>
#include <utility>

#include "accounts/account_records.h"
#include "accounts/account_service.h"
#include "shell/dialog_units.h"
#include "shell/latin1_text.h"
#include "shell/message_boxes.h"
#include "shell/pictures.h"
#include "shell/text_progress_bar.h"

namespace {

constexpr QPoint kPicturePosition{15, 28};

QLineEdit* centredBox(QWidget* parent, const char* name, bool readOnly) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAlignment(Qt::AlignHCenter);
    box->setReadOnly(readOnly);
    return box;
}

QLabel* label(QWidget* parent, const char* text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* result = new QLabel(QString::fromLatin1(text), parent);
    result->setAlignment(alignment | Qt::AlignTop);
    return result;
}

// The experience box holds digits only; more than fits is held at the largest.
int32_t experienceOf(const QString& digits) {
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    return ok ? static_cast<int32_t>(std::clamp<qlonglong>(value, 0, INT32_MAX)) : 0;
}

}  // namespace

ProfileControls profileControls(bool ownProfile, int32_t viewerLevel) {
    switch (viewerLevel) {
        case 0:
            return {false, false, false, ownProfile, ownProfile};
        case 1:
            return {true, false, false, ownProfile, ownProfile};
        case kAdministratorLevel:
            return {true, !ownProfile, true, true, true};
        default:
            return {};
    }
}

ProfileDialog::ProfileDialog(AccountService& accounts, MessageBoxes& boxes, const ProfileShowing& showing,
                             QWidget* parent)
    : QDialog(parent), m_accounts(accounts), m_boxes(boxes), m_profile(showing.profile) {
    setWindowTitle(QStringLiteral("Player Stats"));
    buildControls();
    showProfile(showing);
}

ProfileDialog::~ProfileDialog() = default;

void ProfileDialog::buildControls() {
    const DialogUnits du(font());
    setFixedSize(du.size(259, 190));

    du.place(*new QGroupBox(QStringLiteral("Player"), this), 7, 7, 245, 96);
    m_name = centredBox(this, "name", true);
    du.place(*m_name, 100, 18, 145, 13);
    m_bio = new QPlainTextEdit(this);
    m_bio->setObjectName(QStringLiteral("bio"));
    du.place(*m_bio, 100, 40, 145, 49);

    du.place(*label(this, "Experience"), 7, 111, 36, 8);
    m_experience = centredBox(this, "experience", false);
    m_experience->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), m_experience));
    du.place(*m_experience, 45, 111, 68, 12);
    m_levelLabel = label(this, "Account Level", Qt::AlignRight);
    du.place(*m_levelLabel, 118, 111, 54, 9);
    m_accountLevel = new QComboBox(this);
    m_accountLevel->setObjectName(QStringLiteral("accountLevel"));
    for (int32_t level = 0; !accountLevelText(level).empty(); ++level) {
        m_accountLevel->addItem(fromLatin1Text(accountLevelText(level)));
    }
    m_accountLevel->setGeometry(du.x(176), du.y(111), du.x(76), m_experience->height());

    du.place(*new QGroupBox(QStringLiteral("Statistics"), this), 7, 125, 245, 39);
    m_levelBar = new TextProgressBar(this);
    m_levelBar->setObjectName(QStringLiteral("levelBar"));
    du.place(*m_levelBar, 16, 136, 61, 12);
    m_levelText = label(this, "");
    m_levelText->setObjectName(QStringLiteral("level"));
    du.place(*m_levelText, 16, 150, 15, 9);
    m_nextLevelText = label(this, "", Qt::AlignRight);
    m_nextLevelText->setObjectName(QStringLiteral("nextLevel"));
    du.place(*m_nextLevelText, 63, 150, 14, 9);
    du.place(*label(this, "Rank"), 97, 136, 23, 8);
    m_rank = centredBox(this, "rank", true);
    du.place(*m_rank, 96, 148, 40, 12);
    du.place(*label(this, "Highest Rank"), 175, 136, 45, 8);
    m_highestRank = centredBox(this, "highestRank", true);
    du.place(*m_highestRank, 176, 148, 40, 12);

    auto* cancel = du.button(*this, "&Cancel", "cancel", 7, 169, 50, 14, ButtonKind::NeverDefault);
    m_updateButton = du.button(*this, "&Update", "update", 202, 169, 50, 14, ButtonKind::NeverDefault);

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_updateButton, &QPushButton::clicked, this, &ProfileDialog::sendUpdate);
}

void ProfileDialog::showProfile(const ProfileShowing& showing) {
    const PlayerProfile& profile = showing.profile;
    m_name->setText(fromLatin1Text(recordText(profile.name)));
    m_bio->setPlainText(fromLatin1Text(recordText(profile.bio)));
    m_rank->setText(QString::number(profile.rank));
    m_highestRank->setText(QString::number(profile.highestRank));
    m_accountLevel->setCurrentIndex(
        profile.accountLevel >= 0 && profile.accountLevel < m_accountLevel->count() ? profile.accountLevel
                                                                                    : -1);
    m_experience->setText(QString::number(profile.experience));
    m_levelText->setText(QString::number(profile.level));
    m_nextLevelText->setText(QString::number(static_cast<int64_t>(profile.level) + 1));

    const ProfileControls controls = profileControls(showing.ownProfile, showing.viewer.accountLevel);
    m_levelLabel->setVisible(controls.levelVisible);
    m_accountLevel->setVisible(controls.levelVisible);
    m_accountLevel->setEnabled(controls.levelEnabled);
    m_experience->setReadOnly(!controls.experienceEditable);
    m_bio->setReadOnly(!controls.bioEditable);
    m_updateButton->setEnabled(controls.updateEnabled);

    m_levelBar->setRange(showing.levelFloor, showing.levelCeiling);
    m_levelBar->setValue(profile.experience);
    m_levelBar->setText(QStringLiteral("Level %1").arg(profile.level));

    m_picture = profilePicture(profile.rankPicture, profile.avatar);
    raise();
    activateWindow();
}

void ProfileDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!m_picture.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(kPicturePosition, m_picture);
    }
}

void ProfileDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ProfileDialog::sendUpdate() {
    const ProfileEdits edits{toLatin1Text(m_bio->toPlainText()), experienceOf(m_experience->text()),
                             m_accountLevel->currentIndex()};
    if (!m_accounts.confirmProfileUpdate(m_profile, edits)) {
        return;
    }
    m_updateButton->setEnabled(false);
    m_thread.reset();
    m_thread = std::make_unique<ProfileUpdateThread>(m_accounts, *this, m_profile, edits.bio);
}

void ProfileDialog::profileUpdated() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_thread.reset();
            m_updateButton->setEnabled(true);
            accept();
        },
        Qt::QueuedConnection);
}

void ProfileDialog::profileUpdateFailed(std::string text, bool mayRetry) {
    QMetaObject::invokeMethod(
        this,
        [this, text = std::move(text), mayRetry]() mutable {
            m_thread.reset();
            m_boxes.showMessage({std::move(text), "", MessageIcon::None});
            m_updateButton->setEnabled(mayRetry);
        },
        Qt::QueuedConnection);
}
