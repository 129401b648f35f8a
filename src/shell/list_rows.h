#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "browser/cell_order.h"
#include "browser/memory_row_view.h"
#include "browser/row_view.h"

class QTreeWidget;
class QTreeWidgetItem;

// The role of column 0 that holds a row's item data, and the role of each cell
// that holds the core's own (Latin-1) text, which sorting compares. A row whose
// column 0 holds true in kFavouriteRole sorts before the others in either
// direction.
inline constexpr int kItemDataRole = Qt::UserRole;
inline constexpr int kRawTextRole = Qt::UserRole + 1;
inline constexpr int kFavouriteRole = Qt::UserRole + 2;

// The rows of one list widget as the browser core sees them.
//
// The core calls from the receive thread, the ping sweep and the UI thread,
// under the browser's lock, and must never wait for the UI thread. So the rows
// are kept twice: a mirror that answers the core's queries at once, and the
// widget, which gets every change in the same order on the UI thread. Changes
// are applied in batches of a few milliseconds, so a burst of them (a master
// list of 512 servers) never holds the window still.
//
// The core addresses rows by their index in the order it inserted them; the
// widget's items are also kept in that order (UI thread only), so a change
// reaches its item whatever order the user sorted the widget in. Until the user
// first clicks a heading the widget shows the core's order. Once sorted, the
// list is sorted again after each batch that changed it, keeping the selection
// and the row the user looks at in their place on the screen.
class ListRows final : public QObject, public RowView {
    Q_OBJECT

  public:
    // Create it on the UI thread. `icons` are the row images by icon index;
    // `columnOrder` tells how each column's cells compare.
    ListRows(QTreeWidget& widget, std::vector<QIcon> icons, CellOrder (*columnOrder)(int),
             QObject* parent = nullptr);

    int insertRow(int position, int itemData, int icon) override;
    void setCell(int row, int column, std::string text) override;
    std::optional<int> findRow(int itemData) const override;
    void clear() override;
    std::optional<int> selectedItemData() const override;

    // Applies every change still waiting; UI thread. For tests and benchmarks.
    void flushAll();

    // Sorts the widget by `column` from now on and shows the heading's arrow.
    // UI thread.
    void sortBy(int column, bool descending);
    // Sorts again, if sorted, after something the order depends on changed
    // outside the core's cells. UI thread.
    void sortAgain();

    // Called on the UI thread after each applied batch with the items it
    // inserted or changed (none left that a Clear removed), and after a Clear.
    void setBatchApplied(std::function<void(const std::vector<QTreeWidgetItem*>&)> hook);

  signals:
    // The user clicked a heading and the list is now sorted by it.
    void sortChosen(int column, bool descending);

  private:
    struct Insert {
        int position;
        int itemData;
        int icon;
    };
    struct SetCell {
        int row;
        int column;
        std::string text;
    };
    struct Clear {};
    using Change = std::variant<Insert, SetCell, Clear>;

    void queue(Change change);
    void flush();
    void apply(Change& change);
    // After a batch: sorts again if cells changed and hands the batch to the hook.
    void finishBatch();
    // Sorts after running `before` (which may hide rows), holding the selected
    // row, or else the row under the pointer, where it was on the screen.
    void sortKeepingPlace(const std::function<void()>& before);
    void headingClicked(int column);
    void selectionChanged();

    QPointer<QTreeWidget> m_widget;
    std::vector<QIcon> m_icons;
    CellOrder (*m_columnOrder)(int);
    MemoryRowView m_mirror;

    std::mutex m_mutex;  // guards m_pending and m_flushPosted
    std::deque<Change> m_pending;
    bool m_flushPosted = false;

    // UI thread only.
    std::deque<Change> m_applying;          // taken from m_pending, not yet applied
    std::vector<QTreeWidgetItem*> m_items;  // the widget's items in the core's row order
    std::vector<QTreeWidgetItem*> m_batch;  // inserted or changed in the batch being applied
    bool m_batchChanged = false;
    int m_sortColumn = -1;
    bool m_descending = false;
    std::function<void(const std::vector<QTreeWidgetItem*>&)> m_batchApplied;
};
