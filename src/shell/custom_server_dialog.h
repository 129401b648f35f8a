#pragma once

#include <QDialog>

class QLineEdit;
class QShowEvent;
class ServerBrowser;

inline constexpr int kCustomAddressLength = 64;
inline constexpr int kCustomPortLength = 8;
inline constexpr char kCustomDefaultPort[] = "10666";

// "Custom Server Query": a server typed in by hand. Every time it opens the
// address is empty and the port holds "10666". "Go!" hands both texts to
// ServerBrowser::CustomServerQuery, which reports an empty field itself; the
// dialog closes with OK only when the query went out. Cancel, Escape and the
// close box do nothing.
class CustomServerDialog final : public QDialog {
    Q_OBJECT

  public:
    // `browser` must outlive the dialog.
    explicit CustomServerDialog(ServerBrowser& browser, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void go();

    ServerBrowser& m_browser;
    QLineEdit* m_address = nullptr;
    QLineEdit* m_port = nullptr;
};
