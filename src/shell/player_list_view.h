#pragma once

#include <QTreeWidget>
#include <memory>

#include "shell/list_rows.h"

// The player list, the main window's lower pane: the in-use player slots of
// the selected server.
class PlayerListView final : public QTreeWidget {
    Q_OBJECT

  public:
    explicit PlayerListView(QWidget* parent = nullptr);

    ListRows& rows() { return *m_rows; }

  private:
    std::unique_ptr<ListRows> m_rows;
};
