#pragma once

#include <QTreeWidget>
#include <memory>

#include "shell/list_rows.h"

// The two report lists of the main window. Rows are never sorted and headings
// do nothing when clicked; one row at a time is selected, across the whole
// row, and the selection stays visible without focus.

// The server list (upper pane). Each row's item data is its record's index in
// the server table; its icon shows whether the server's games count for the
// player statistics.
class CBottomView final : public QTreeWidget {
    Q_OBJECT

  public:
    explicit CBottomView(QWidget* parent = nullptr);

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

// The player list (lower pane): the in-use player slots of the selected server.
class CDummyList final : public QTreeWidget {
    Q_OBJECT

  public:
    explicit CDummyList(QWidget* parent = nullptr);

    ListRows& rows() { return *m_rows; }

  private:
    std::unique_ptr<ListRows> m_rows;
};
