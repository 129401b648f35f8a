#include "shell/settings_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "launch/config_file.h"
#include "launch/settings.h"
#include "shell/dialog_units.h"
#include "shell/latin1_text.h"
#include "shell/message_boxes.h"

namespace {

// The text as a setting keeps it, or nothing when the settings file could not
// give it back unchanged.
std::optional<std::string> storableText(const QString& text, size_t maxLength) {
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; })) {
        return std::nullopt;
    }
    std::string latin1 = toLatin1Text(text);
    if (!settingTextFits(latin1, maxLength)) {
        return std::nullopt;
    }
    return latin1;
}

UserMessage refusal(size_t maxLength) {
    return {"Sorry, the settings file cannot keep this text. Use at most " + std::to_string(maxLength) +
                " characters, all of them Western European (Latin-1) ones other than \xFF.",
            "", MessageIcon::Exclamation};
}

}  // namespace

TextSettingDialog::TextSettingDialog(MessageBoxes& boxes, std::string& setting, size_t maxLength,
                                     std::optional<std::filesystem::path> saveTo, QWidget* parent)
    : QDialog(parent),
      m_boxes(boxes),
      m_setting(setting),
      m_maxLength(maxLength),
      m_saveTo(std::move(saveTo)) {
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("text"));
    m_edit->setMaxLength(static_cast<int>(maxLength));
}

void TextSettingDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) {
        return;  // shown again by the window system, not opened
    }
    const auto lock = lockSettings();
    m_edit->setText(fromLatin1Text(m_setting));
}

void TextSettingDialog::accept() {
    std::optional<std::string> text = storableText(m_edit->text(), m_maxLength);
    if (!text) {
        m_boxes.showMessage(refusal(m_maxLength));
        return;
    }
    {
        const auto lock = lockSettings();
        m_setting = std::move(*text);
    }
    if (m_saveTo) {
        BV_SaveConfig(m_boxes, *m_saveTo);
    }
    QDialog::accept();
}

ExtraParamsDialog::ExtraParamsDialog(MessageBoxes& boxes, std::filesystem::path configLocation,
                                     QWidget* parent)
    : TextSettingDialog(boxes, bv_extraparams, kMaxExtraParams, std::move(configLocation), parent) {
    setWindowTitle(QStringLiteral("Additional Command Line Parameters"));
    const DialogUnits du(font());
    setFixedSize(du.size(250, 66));

    auto* explanation = new QLabel(
        QStringLiteral(
            "Specify any parameters below that you want to be passed to Brumvek when it is launched."),
        this);
    explanation->setWordWrap(true);
    du.place(*explanation, 7, 7, 236, 18);
    du.place(field(), 7, 28, 236, 12);
    auto* ok = du.button(*this, "OK", "ok", 193, 45, 50, 14, ButtonKind::Default);
    connect(ok, &QPushButton::clicked, this, &ExtraParamsDialog::accept);
}

ServerPasswordDialog::ServerPasswordDialog(MessageBoxes& boxes, QWidget* parent)
    : TextSettingDialog(boxes, bv_serverpassword, kMaxServerPassword, std::nullopt, parent) {
    setWindowTitle(QStringLiteral("Password"));
    const DialogUnits du(font());
    setFixedSize(du.size(200, 78));

    auto* explanation =
        new QLabel(QStringLiteral("Enter a password below. The password you specify here will be "
                                  "attempted if you try to join a password protected game."),
                   this);
    explanation->setWordWrap(true);
    du.place(*explanation, 7, 7, 186, 26);
    du.place(field(), 7, 36, 186, 12);
    auto* acceptButton = du.button(*this, "Accept", "accept", 89, 56, 50, 14, ButtonKind::Default);
    auto* cancelButton = du.button(*this, "Cancel", "cancel", 143, 56, 50, 14);
    connect(acceptButton, &QPushButton::clicked, this, &ServerPasswordDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &ServerPasswordDialog::reject);
}

void showSettingsDiagnostics(MessageBoxes& boxes) {
    char text[128];
    {
        const auto lock = lockSettings();
        std::snprintf(text, sizeof text, "bv_autologin=%d\nbv_shownews=%d\nbv_lastarticleno=%d", bv_autologin,
                      bv_shownews, bv_lastarticleno);
    }
    boxes.showMessage({text, "", MessageIcon::None});
}

void showWadDirectoryDiagnostics(MessageBoxes& boxes) {
    // Copied first: the settings lock is never held while a box waits.
    std::vector<std::string> paths;
    {
        const auto lock = lockSettings();
        for (const WadDirectory& directory : wad_directories) {
            paths.push_back(directory.path);
        }
    }
    boxes.showMessage({"wad paths", "", MessageIcon::None});
    for (std::string& path : paths) {
        boxes.showMessage({std::move(path), "", MessageIcon::None});
    }
}
