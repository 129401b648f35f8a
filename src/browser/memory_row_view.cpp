#include "browser/memory_row_view.h"

#include <algorithm>

std::string MemoryRowView::Row::cell(int column) const {
    if (column < 0 || static_cast<size_t>(column) >= cells.size()) {
        return {};
    }
    return cells[static_cast<size_t>(column)];
}

int MemoryRowView::insertRow(int position, int itemData, int icon) {
    const std::scoped_lock lock(m_mutex);
    const auto at = static_cast<size_t>(std::clamp(position, 0, static_cast<int>(m_rows.size())));
    m_rows.insert(m_rows.begin() + static_cast<std::ptrdiff_t>(at), Row{itemData, icon, false, {}});
    m_changed.notify_all();
    return static_cast<int>(at);
}

void MemoryRowView::setCell(int row, int column, std::string text) {
    const std::scoped_lock lock(m_mutex);
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size() || column < 0) {
        return;
    }
    std::vector<std::string>& cells = m_rows[static_cast<size_t>(row)].cells;
    if (static_cast<size_t>(column) >= cells.size()) {
        cells.resize(static_cast<size_t>(column) + 1);
    }
    cells[static_cast<size_t>(column)] = std::move(text);
    m_changed.notify_all();
}

std::optional<int> MemoryRowView::findRow(int itemData) const {
    const std::scoped_lock lock(m_mutex);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].itemData == itemData) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

void MemoryRowView::clear() {
    const std::scoped_lock lock(m_mutex);
    m_rows.clear();
    m_changed.notify_all();
}

std::optional<int> MemoryRowView::selectedItemData() const {
    const std::scoped_lock lock(m_mutex);
    for (const Row& row : m_rows) {
        if (row.selected) {
            return row.itemData;
        }
    }
    return std::nullopt;
}

void MemoryRowView::select(std::optional<int> row) {
    const std::scoped_lock lock(m_mutex);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].selected = row && static_cast<size_t>(*row) == i;
    }
    m_changed.notify_all();
}

std::vector<MemoryRowView::Row> MemoryRowView::rows() const {
    const std::scoped_lock lock(m_mutex);
    return m_rows;
}

bool MemoryRowView::waitUntil(const std::function<bool(const std::vector<Row>&)>& done,
                              std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return done(m_rows); });
}
