#pragma once

#include <QTreeWidget>
#include <functional>
#include <memory>
#include <vector>

#include "browser/server_filter.h"
#include "shell/list_rows.h"

class Favourites;
class WadIndex;

// The server list, the main window's upper pane. Each row's item data is its
// record's index in the server table; its icon shows whether the server's
// games count for the player statistics. Rows the filter refuses are hidden,
// never removed, so the core's rows and the selection stay as they are.
//
// Two marks come from the window, not the core: a favourite's name shows a
// star and its row sorts first; an answered server's Wads cell shows whether
// the WAD directories hold every WAD it needs, its tip naming those missing.
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

    // Where the marks come from; either may be null (no marks of that kind).
    // Both must outlive the view or be reset; takes effect at markAllRows().
    void setFavourites(const Favourites* favourites) { m_favourites = favourites; }
    void setWadIndex(const WadIndex* wads) { m_wads = wads; }
    // Marks every row again and sorts again; after the favourites or the WAD
    // directories changed.
    void markAllRows();

  signals:
    // A mouse button went down on the list, after the selection followed it.
    // Moving the selection with the keyboard sends none of these.
    void leftClicked();
    void rightClicked();
    void leftDoubleClicked();
    // After rightClicked, when the click was on a server: the place for its menu.
    void serverMenuAsked(const QPoint& globalPosition);
    // Rows came, went, or were shown or hidden by the filter.
    void shownRowsChanged();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    // Shows or hides each of `items` by its record, under one lockBrowser().
    void filterRows(const std::vector<QTreeWidgetItem*>& items);
    // Marks each of `items` by its record, under one lockBrowser().
    void markRows(const std::vector<QTreeWidgetItem*>& items);
    void markRow(QTreeWidgetItem& item, const ServerRecord& record);
    // Calls `act` for each of `items` whose item data names a valid record,
    // under one lockBrowser().
    static void forEachRecord(const std::vector<QTreeWidgetItem*>& items,
                              const std::function<void(QTreeWidgetItem&, const ServerRecord&)>& act);
    std::vector<QTreeWidgetItem*> allItems() const;

    std::unique_ptr<ListRows> m_rows;
    ServerFilter m_filter;
    const Favourites* m_favourites = nullptr;
    const WadIndex* m_wads = nullptr;
    QIcon m_readyIcon;
    QIcon m_missingIcon;
};
