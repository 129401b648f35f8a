#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "browser/row_view.h"

// A list kept in memory, for tests and the command-line tool. Thread-safe; the
// driver selects rows and reads them back.
class MemoryRowView final : public RowView {
  public:
    struct Row {
        int itemData = 0;
        int icon = 0;
        bool selected = false;
        std::vector<std::string> cells;

        // The cell's text; empty for a cell never set.
        std::string cell(int column) const;
    };

    int insertRow(int position, int itemData, int icon) override;
    void setCell(int row, int column, std::string text) override;
    std::optional<int> findRow(int itemData) const override;
    void clear() override;
    std::optional<int> selectedItemData() const override;

    // Selects the row at `row` alone; none, or a row that does not exist, clears
    // the selection.
    void select(std::optional<int> row);
    std::vector<Row> rows() const;

    // Waits until `done` holds for the rows or `timeout` passes; returns whether
    // it holds. `done` runs with the view locked and must not call the view.
    bool waitUntil(const std::function<bool(const std::vector<Row>&)>& done,
                   std::chrono::milliseconds timeout) const;

  private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<Row> m_rows;
};
