#pragma once

#include <QTreeWidget>
#include <memory>
#include <vector>

#include "browser/server_filter.h"
#include "shell/list_rows.h"

// The server list, the main window's upper pane. Each row's item data is its
// record's index in the server table; its icon shows whether the server's
// games count for the player statistics. Rows the filter refuses are hidden,
// never removed, so the core's rows and the selection stay as they are.
class ServerListView final : public QTreeWidget {
    Q_OBJECT

  public:
    explicit ServerListView(QWidget* parent = nullptr);

    ListRows& rows() { return *m_rows; }

    // Applies `filter` to every row now, and to each row as its cells change.
    void setFilter(ServerFilter filter);
    const ServerFilter& filter() const { return m_filter; }
    // The rows not hidden by the filter.
    int shownRowCount() const;

  signals:
    // A mouse button went down on the list, after the selection followed it.
    // Moving the selection with the keyboard sends none of these.
    void leftClicked();
    void rightClicked();
    void leftDoubleClicked();
    // Rows came, went, or were shown or hidden by the filter.
    void shownRowsChanged();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    // Shows or hides each of `items` by its record, under one lockBrowser().
    void filterRows(const std::vector<QTreeWidgetItem*>& items);

    std::unique_ptr<ListRows> m_rows;
    ServerFilter m_filter;
};
