#pragma once

#include <QDialog>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

class MessageBoxes;
class QLineEdit;

// The two dialogs that each edit one setting. One object of each lives for the
// whole run; every opening shows the setting's current value. A text the
// settings file could not give back unchanged (a character outside Latin-1, or
// 0xFF, which ends a stored string) is refused with a box and the dialog stays
// open; the field itself takes no more characters than the setting holds.

// What the two dialogs share: the field, filled from the setting at each
// opening, and Accept, which refuses a text the file could not keep.
class TextSettingDialog : public QDialog {
    Q_OBJECT

  public:
    void accept() override;

  protected:
    // `setting` is one of the bv_* texts, read and written under lockSettings();
    // with `saveTo`, Accept also saves the settings file there.
    TextSettingDialog(MessageBoxes& boxes, std::string& setting, size_t maxLength,
                      std::optional<std::filesystem::path> saveTo, QWidget* parent);

    void showEvent(QShowEvent* event) override;
    QLineEdit& field() { return *m_edit; }

  private:
    MessageBoxes& m_boxes;
    std::string& m_setting;
    size_t m_maxLength;
    std::optional<std::filesystem::path> m_saveTo;
    QLineEdit* m_edit = nullptr;
};

// "Additional Command Line Parameters", bound to bv_extraparams. OK stores the
// text and saves the settings file; any other way out changes nothing.
class ExtraParamsDialog final : public TextSettingDialog {
    Q_OBJECT

  public:
    // Saves to `configLocation` (see configFilePath). `boxes` must outlive it.
    explicit ExtraParamsDialog(MessageBoxes& boxes, std::filesystem::path configLocation = {},
                               QWidget* parent = nullptr);
};

// "Password", bound to bv_serverpassword (at most 32 characters). Accept stores
// the text without saving; it reaches the file at the next save.
class ServerPasswordDialog final : public TextSettingDialog {
    Q_OBJECT

  public:
    // `boxes` must outlive the dialog.
    explicit ServerPasswordDialog(MessageBoxes& boxes, QWidget* parent = nullptr);
};

// Ctrl+F1: one box with bv_autologin, bv_shownews and bv_lastarticleno.
void showSettingsDiagnostics(MessageBoxes& boxes);

// Ctrl+F2: the box "wad paths", then one box per WAD directory, front first.
void showWadDirectoryDiagnostics(MessageBoxes& boxes);
