#pragma once

#include <QTreeWidget>
#include <memory>

#include "shell/list_rows.h"

// The server list, the main window's upper pane. Each row's item data is its
// record's index in the server table; its icon shows whether the server's
// games count for the player statistics.
class ServerListView final : public QTreeWidget {
    Q_OBJECT

  public:
    explicit ServerListView(QWidget* parent = nullptr);

    ListRows& rows() { return *m_rows; }

  signals:
    // A mouse button went down on the list, after the selection followed it.
    // Moving the selection with the keyboard sends none of these.
    void leftClicked();
    void rightClicked();
    void leftDoubleClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    std::unique_ptr<ListRows> m_rows;
};
