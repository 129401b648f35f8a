#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class AccountService;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Recent Players": the players who logged on during the past hour, asked for
// each time the dialog opens, with Look Up and, for administrators, Delete. One
// object lives for the whole run, so the name box keeps its text between
// openings.
class RecentPlayersDialog final : public QDialog {
    Q_OBJECT

  public:
    // `accounts` must outlive the dialog.
    explicit RecentPlayersDialog(AccountService& accounts, QWidget* parent = nullptr);

    // The master server's answer, on the UI thread: the names in the order
    // received, and Look Up enabled. Dropped when the dialog is not open.
    void showRecentPlayers(const std::vector<std::string>& names);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildControls();
    void selectEntry();
    void lookUp();
    void deleteAccount();

    AccountService& m_accounts;
    QString m_name;  // the name box's field

    QListWidget* m_list = nullptr;
    QPushButton* m_lookUpButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QLineEdit* m_nameBox = nullptr;
};
