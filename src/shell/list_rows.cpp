#include "shell/list_rows.h"

#include <QByteArray>
#include <QCursor>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMetaObject>
#include <QScrollBar>
#include <QTreeWidget>
#include <algorithm>
#include <string_view>
#include <utility>

#include "shell/latin1_text.h"

namespace {

// Longest stretch the UI thread spends applying changes before it lets the
// window handle input and paint again.
constexpr qint64 kBatchNanoseconds = 4'000'000;

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

// A row that sorts by the core's texts of the column the heading shows.
class SortedItem final : public QTreeWidgetItem {
  public:
    explicit SortedItem(CellOrder (*columnOrder)(int)) : m_columnOrder(columnOrder) {}

    // Qt sorts descending by asking whether the right item is less than the
    // left one; answering with the left one's place keeps favourites first and
    // cells without a value last in both directions.
    bool operator<(const QTreeWidgetItem& other) const override {
        const QTreeWidget* tree = treeWidget();
        if (tree == nullptr) {
            return false;
        }
        const bool descending = tree->header()->sortIndicatorOrder() == Qt::DescendingOrder;
        const bool favourite = data(0, kFavouriteRole).toBool();
        const bool otherFavourite = other.data(0, kFavouriteRole).toBool();
        if (favourite != otherFavourite) {
            return descending ? otherFavourite : favourite;
        }
        const int column = tree->sortColumn();
        const CellOrder order = m_columnOrder(column);
        const QByteArray mine = data(column, kRawTextRole).toByteArray();
        const QByteArray theirs = other.data(column, kRawTextRole).toByteArray();
        if (descending) {
            return cellSortsBefore(order, viewOf(theirs), viewOf(mine), true);
        }
        return cellSortsBefore(order, viewOf(mine), viewOf(theirs), false);
    }

  private:
    CellOrder (*m_columnOrder)(int);
};

}  // namespace

ListRows::ListRows(QTreeWidget& widget, std::vector<QIcon> icons, CellOrder (*columnOrder)(int),
                   QObject* parent)
    : QObject(parent), m_widget(&widget), m_icons(std::move(icons)), m_columnOrder(columnOrder) {
    connect(&widget, &QTreeWidget::itemSelectionChanged, this, &ListRows::selectionChanged);
    connect(&widget, &QTreeWidget::currentItemChanged, this, &ListRows::selectionChanged);
    connect(widget.header(), &QHeaderView::sectionClicked, this, &ListRows::headingClicked);
}

int ListRows::insertRow(int position, int itemData, int icon) {
    const int row = m_mirror.insertRow(position, itemData, icon);
    queue(Insert{row, itemData, icon});
    return row;
}

void ListRows::setCell(int row, int column, std::string text) {
    m_mirror.setCell(row, column, text);
    queue(SetCell{row, column, std::move(text)});
}

std::optional<int> ListRows::findRow(int itemData) const {
    return m_mirror.findRow(itemData);
}

void ListRows::clear() {
    m_mirror.clear();
    queue(Clear{});
}

std::optional<int> ListRows::selectedItemData() const {
    return m_mirror.selectedItemData();
}

void ListRows::setBatchApplied(std::function<void(const std::vector<QTreeWidgetItem*>&)> hook) {
    m_batchApplied = std::move(hook);
}

void ListRows::queue(Change change) {
    const std::scoped_lock lock(m_mutex);
    m_pending.push_back(std::move(change));
    if (!m_flushPosted) {
        m_flushPosted = true;
        QMetaObject::invokeMethod(this, &ListRows::flush, Qt::QueuedConnection);
    }
}

void ListRows::flush() {
    {
        const std::scoped_lock lock(m_mutex);
        std::move(m_pending.begin(), m_pending.end(), std::back_inserter(m_applying));
        m_pending.clear();
    }
    QElapsedTimer batch;
    batch.start();
    while (!m_applying.empty() && batch.nsecsElapsed() < kBatchNanoseconds) {
        apply(m_applying.front());
        m_applying.pop_front();
    }
    finishBatch();
    const std::scoped_lock lock(m_mutex);
    if (m_applying.empty() && m_pending.empty()) {
        m_flushPosted = false;
        return;
    }
    QMetaObject::invokeMethod(this, &ListRows::flush, Qt::QueuedConnection);
}

void ListRows::flushAll() {
    for (;;) {
        {
            const std::scoped_lock lock(m_mutex);
            std::move(m_pending.begin(), m_pending.end(), std::back_inserter(m_applying));
            m_pending.clear();
        }
        if (m_applying.empty()) {
            return;
        }
        while (!m_applying.empty()) {
            apply(m_applying.front());
            m_applying.pop_front();
        }
        finishBatch();
    }
}

void ListRows::apply(Change& change) {
    if (m_widget == nullptr) {
        return;
    }
    QTreeWidget& widget = *m_widget;
    m_batchChanged = true;
    if (auto* insert = std::get_if<Insert>(&change)) {
        auto* item = new SortedItem(m_columnOrder);
        item->setData(0, kItemDataRole, insert->itemData);
        if (insert->icon >= 0 && static_cast<size_t>(insert->icon) < m_icons.size()) {
            item->setIcon(0, m_icons[static_cast<size_t>(insert->icon)]);
        }
        const int position = std::clamp(insert->position, 0, static_cast<int>(m_items.size()));
        m_items.insert(m_items.begin() + position, item);
        m_batch.push_back(item);
        if (m_sortColumn < 0) {
            widget.insertTopLevelItem(std::min(position, widget.topLevelItemCount()), item);
        } else {
            widget.addTopLevelItem(item);
        }
    } else if (auto* cell = std::get_if<SetCell>(&change)) {
        if (cell->row >= 0 && static_cast<size_t>(cell->row) < m_items.size() && cell->column >= 0 &&
            cell->column < widget.columnCount()) {
            QTreeWidgetItem* item = m_items[static_cast<size_t>(cell->row)];
            item->setData(cell->column, kRawTextRole, QByteArray::fromStdString(cell->text));
            item->setText(cell->column, fromLatin1Text(cell->text));
            m_batch.push_back(item);
        }
    } else {
        widget.clear();
        m_items.clear();
        m_batch.clear();
    }
}

void ListRows::finishBatch() {
    if (!m_batchChanged || m_widget == nullptr) {
        return;
    }
    m_batchChanged = false;
    std::vector<QTreeWidgetItem*> batch = std::exchange(m_batch, {});
    std::sort(batch.begin(), batch.end());
    batch.erase(std::unique(batch.begin(), batch.end()), batch.end());
    if (m_sortColumn < 0) {
        if (m_batchApplied) {
            m_batchApplied(batch);
        }
        return;
    }
    sortKeepingPlace([&] {
        if (m_batchApplied) {
            m_batchApplied(batch);
        }
    });
}

void ListRows::sortBy(int column, bool descending) {
    if (m_widget == nullptr || column < 0 || column >= m_widget->columnCount()) {
        return;
    }
    m_sortColumn = column;
    m_descending = descending;
    m_widget->header()->setSortIndicatorShown(true);
    sortKeepingPlace({});
}

void ListRows::sortAgain() {
    if (m_widget != nullptr && m_sortColumn >= 0) {
        sortKeepingPlace({});
    }
}

void ListRows::sortKeepingPlace(const std::function<void()>& before) {
    QTreeWidget& widget = *m_widget;
    // The row to hold still: the selected one when it is in view, else the one
    // under the mouse pointer.
    const QRect view = widget.viewport()->rect();
    QTreeWidgetItem* anchor = widget.currentItem();
    if (anchor == nullptr || !anchor->isSelected() || anchor->isHidden() ||
        !view.intersects(widget.visualItemRect(anchor))) {
        const QPoint pointer = widget.viewport()->mapFromGlobal(QCursor::pos());
        anchor = view.contains(pointer) ? widget.itemAt(pointer) : nullptr;
    }
    const int top = anchor != nullptr ? widget.visualItemRect(anchor).top() : 0;
    if (before) {
        before();
    }
    widget.sortItems(m_sortColumn, m_descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (anchor == nullptr || anchor->isHidden()) {
        return;
    }
    const QRect moved = widget.visualItemRect(anchor);
    const int step =
        widget.verticalScrollMode() == QAbstractItemView::ScrollPerItem ? std::max(1, moved.height()) : 1;
    QScrollBar* bar = widget.verticalScrollBar();
    bar->setValue(bar->value() + (moved.top() - top) / step);
}

void ListRows::headingClicked(int column) {
    const bool descending = column == m_sortColumn && !m_descending;
    sortBy(column, descending);
    emit sortChosen(column, descending);
}

void ListRows::selectionChanged() {
    if (m_widget == nullptr) {
        return;
    }
    // The core wants the row that is both focused and selected.
    const QTreeWidgetItem* current = m_widget->currentItem();
    if (current == nullptr || !current->isSelected()) {
        m_mirror.select(std::nullopt);
        return;
    }
    m_mirror.select(m_mirror.findRow(current->data(0, kItemDataRole).toInt()));
}
