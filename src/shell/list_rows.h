#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "browser/memory_row_view.h"
#include "browser/row_view.h"

class QTreeWidget;

// The rows of one list widget as the browser core sees them.
//
// The core calls from the receive thread, the ping sweep and the UI thread,
// under the browser's lock, and must never wait for the UI thread. So the rows
// are kept twice: a mirror that answers the core's queries at once, and the
// widget, which gets every change in the same order on the UI thread. Changes
// are applied in batches of a few milliseconds, so a burst of them (a master
// list of 512 servers) never holds the window still.
class ListRows final : public QObject, public RowView {
    Q_OBJECT

  public:
    // Create it on the UI thread. `icons` are the row images by icon index.
    ListRows(QTreeWidget& widget, std::vector<QIcon> icons, QObject* parent = nullptr);

    int insertRow(int position, int itemData, int icon) override;
    void setCell(int row, int column, std::string text) override;
    std::optional<int> findRow(int itemData) const override;
    void clear() override;
    std::optional<int> selectedItemData() const override;

    // Applies every change still waiting; UI thread. For tests and benchmarks.
    void flushAll();

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
    void selectionChanged();

    QPointer<QTreeWidget> m_widget;
    std::vector<QIcon> m_icons;
    MemoryRowView m_mirror;

    std::mutex m_mutex;  // guards m_pending and m_flushPosted
    std::deque<Change> m_pending;
    bool m_flushPosted = false;
    std::deque<Change> m_applying;  // UI thread only: taken from m_pending, not yet applied
};
