#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

// The game and version the welcome line names.
inline constexpr char kWelcomeProduct[] = "Brumvek v1.04b";

// "Welcome to Brumvek v1.04b NAME!" for the user `userName`.
std::string welcomeLine(std::string_view userName);

// "Welcome!": shown once, on the first start after the log-in, to offer the WAD
// directory setup. "&Lets Go!" (the default button) runs `letsGo` while the
// dialog is still open and then closes it with OK; "&Cancel", Escape and the
// close box reject it.
class WelcomeDialog final : public QDialog {
    Q_OBJECT

  public:
    // `letsGo` gets the dialog as parent for whatever it opens; may be empty.
    WelcomeDialog(std::string_view userName, std::function<void(QWidget*)> letsGo, QWidget* parent = nullptr);

  private:
    void letsGo();

    std::function<void(QWidget*)> m_letsGo;
};

// The first-run welcome flow on the UI thread. "&Lets Go!" opens the WAD
// directory dialog through `openWadDialog` (its Done sends the master request
// itself) and nothing more happens here; any other ending calls
// `sendMasterRequest` at once. Returns true when Lets Go! was chosen.
bool runWelcomeFlow(QWidget* parent, std::string_view userName,
                    const std::function<void(QWidget*)>& openWadDialog,
                    const std::function<void()>& sendMasterRequest);
