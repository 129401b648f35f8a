#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "browser/server_table.h"

class MessageBoxes;

// What "Detailed Server Info" shows for one server, as 8-bit texts. The summary
// keeps its "\r\n" line breaks; every PWAD name is followed by ", ", the last
// one too.
struct DetailedInfoTexts {
    std::string summary;  // name, an empty line, address
    std::string iwad;
    std::string pwads;
    std::string dmflags;
    std::string dmflags2;
    std::string scorecard;  // "Yes" or "No"
    std::string email;
    std::string url;
};
DetailedInfoTexts detailedInfoTexts(const ServerRecord& record);

// "Detailed Server Info": everything the last reply told about one server,
// read-only. OK, Enter and Escape close it; nothing is changed.
class DetailedInfoDialog final : public QDialog {
    Q_OBJECT

  public:
    // Shows a copy of `record`, so the browser's lock is not needed while it is
    // open.
    explicit DetailedInfoDialog(const ServerRecord& record, QWidget* parent = nullptr);
};

inline constexpr char kDetailedInfoNoServer[] = "Detailed Info: No server selected\n";

// The Detailed Server Information command on the UI thread: with no selected
// server the message box above, otherwise the dialog, modally. `selected` is a
// copy taken from the browser (ServerBrowser::GetSelectedServer).
void showDetailedServerInfo(const std::optional<ServerRecord>& selected, MessageBoxes& boxes,
                            QWidget* parent = nullptr);
