#include "browser/cell_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "browser/row_view.h"

namespace {

std::vector<std::string> sorted(CellOrder order, std::vector<std::string> cells, bool descending) {
    std::stable_sort(cells.begin(), cells.end(), [&](const std::string& a, const std::string& b) {
        return cellSortsBefore(order, a, b, descending);
    });
    return cells;
}

// Values sort by value either way; what is no value stays last; ties keep their order.
TEST(CellOrder, ColumnsSortByTheirKindOfValue) {
    const struct {
        CellOrder order;
        std::vector<std::string> cells;
        std::vector<std::string> ascending;
        std::vector<std::string> descending;
    } cases[] = {
        {CellOrder::Ping,
         {"", "120", "***", "9", "0", "", "***", "1000"},
         {"0", "9", "120", "1000", "***", "***", "", ""},
         {"1000", "120", "9", "0", "***", "***", "", ""}},
        {CellOrder::Players,
         {"2/8", "10/16", "2/4", "0/32", "10/16"},
         {"0/32", "2/4", "2/8", "10/16", "10/16"},
         {"10/16", "10/16", "2/8", "2/4", "0/32"}},
        // Case folds for the Latin-1 capitals too (0xC9 is É, 0xE9 é), not for the sign 0xD7.
        {CellOrder::Text,
         {"beta", "Alpha", "\xC9t\xE9", "alpha", "\xE9t\xE9", "\xD7", "\xF7"},
         {"Alpha", "alpha", "beta", "\xD7", "\xC9t\xE9", "\xE9t\xE9", "\xF7"},
         {"\xF7", "\xC9t\xE9", "\xE9t\xE9", "\xD7", "beta", "Alpha", "alpha"}},
        {CellOrder::Number,
         {"", "-5", "12", "3", "x"},
         {"-5", "3", "12", "", "x"},
         {"12", "3", "-5", "x", ""}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::PrintToString(test.cells));
        EXPECT_EQ(sorted(test.order, test.cells, false), test.ascending);
        EXPECT_EQ(sorted(test.order, test.cells, true), test.descending);
    }
    EXPECT_EQ(serverColumnOrder(column(ServerColumn::Ping)), CellOrder::Ping);
    EXPECT_EQ(serverColumnOrder(column(ServerColumn::Players)), CellOrder::Players);
    EXPECT_EQ(serverColumnOrder(column(ServerColumn::Map)), CellOrder::Text);
    EXPECT_EQ(playerColumnOrder(column(PlayerColumn::Frags)), CellOrder::Number);
    EXPECT_EQ(playerColumnOrder(column(PlayerColumn::Name)), CellOrder::Text);
}

}  // namespace
