#include "shell/list_rows.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTreeWidget>
#include <utility>

#include "shell/latin1_text.h"

namespace {

// Longest stretch the UI thread spends applying changes before it lets the
// window handle input and paint again.
constexpr qint64 kBatchNanoseconds = 4'000'000;

constexpr int kItemDataRole = Qt::UserRole;

}  // namespace

ListRows::ListRows(QTreeWidget& widget, std::vector<QIcon> icons, QObject* parent)
    : QObject(parent), m_widget(&widget), m_icons(std::move(icons)) {
    connect(&widget, &QTreeWidget::itemSelectionChanged, this, &ListRows::selectionChanged);
    connect(&widget, &QTreeWidget::currentItemChanged, this, &ListRows::selectionChanged);
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
    }
}

void ListRows::apply(Change& change) {
    if (m_widget == nullptr) {
        return;
    }
    QTreeWidget& widget = *m_widget;
    if (auto* insert = std::get_if<Insert>(&change)) {
        auto* item = new QTreeWidgetItem;
        item->setData(0, kItemDataRole, insert->itemData);
        if (insert->icon >= 0 && static_cast<size_t>(insert->icon) < m_icons.size()) {
            item->setIcon(0, m_icons[static_cast<size_t>(insert->icon)]);
        }
        widget.insertTopLevelItem(std::min(insert->position, widget.topLevelItemCount()), item);
    } else if (auto* cell = std::get_if<SetCell>(&change)) {
        QTreeWidgetItem* item = widget.topLevelItem(cell->row);
        if (item != nullptr && cell->column >= 0 && cell->column < widget.columnCount()) {
            item->setText(cell->column, fromLatin1Text(cell->text));
        }
    } else {
        widget.clear();
    }
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
