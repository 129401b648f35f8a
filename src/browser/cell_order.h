#pragma once

#include <string_view>

// How the cells of a list column compare when the user sorts by it. Cells are
// compared by their texts as the core writes them (Latin-1), so a list sorts
// without reading the server table.

enum class CellOrder {
    Text,     // case-insensitive
    Number,   // by value; a cell that is no number comes after every number
    Players,  // "players/maximum": by players, then by maximum
    Ping,     // by value; then silent servers ("***"), then those not yet answered ("")
};

CellOrder serverColumnOrder(int column);
CellOrder playerColumnOrder(int column);

// Whether `a` comes before `b` when the column is sorted ascending, or
// descending when `descending`. Cells that are no value (a silent or
// unanswered ping, a number cell without a number) come last either way. Equal
// cells come before neither, so a stable sort keeps their order.
bool cellSortsBefore(CellOrder order, std::string_view a, std::string_view b, bool descending);
