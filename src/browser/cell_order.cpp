#include "browser/cell_order.h"

#include <charconv>
#include <optional>

#include "browser/latin1_case.h"
#include "browser/row_view.h"
#include "browser/server_rows.h"

namespace {

int compareText(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const unsigned char x = foldLatin1Case(a[i]);
        const unsigned char y = foldLatin1Case(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The whole text as a decimal number, or none.
std::optional<long long> wholeNumber(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int compareNumbers(long long a, long long b) {
    return a == b ? 0 : (a < b ? -1 : 1);
}

// A cell's place: its rank among the kinds of cell (values first), then the
// comparison within its rank, which alone follows the direction.
struct Placed {
    int rank;
    int within;
};

Placed placeNumbers(std::string_view a, std::string_view b) {
    const std::optional<long long> x = wholeNumber(a);
    const std::optional<long long> y = wholeNumber(b);
    if (x && y) {
        return {0, compareNumbers(*x, *y)};
    }
    if (x || y) {
        return {x ? -1 : 1, 0};
    }
    return {0, compareText(a, b)};
}

int pingRank(std::string_view ping) {
    if (wholeNumber(ping)) {
        return 0;
    }
    return ping == kSilentPingText ? 1 : 2;
}

Placed placePings(std::string_view a, std::string_view b) {
    const int x = pingRank(a);
    const int y = pingRank(b);
    if (x != y) {
        return {x < y ? -1 : 1, 0};
    }
    return x == 0 ? Placed{0, compareNumbers(*wholeNumber(a), *wholeNumber(b))}
                  : Placed{0, compareText(a, b)};
}

Placed placePlayers(std::string_view a, std::string_view b) {
    const size_t slashA = a.find('/');
    const size_t slashB = b.find('/');
    const Placed players = placeNumbers(a.substr(0, slashA), b.substr(0, slashB));
    if (players.rank != 0 || players.within != 0 || slashA == std::string_view::npos ||
        slashB == std::string_view::npos) {
        return players;
    }
    return placeNumbers(a.substr(slashA + 1), b.substr(slashB + 1));
}

Placed place(CellOrder order, std::string_view a, std::string_view b) {
    switch (order) {
        case CellOrder::Number:
            return placeNumbers(a, b);
        case CellOrder::Players:
            return placePlayers(a, b);
        case CellOrder::Ping:
            return placePings(a, b);
        case CellOrder::Text:
            break;
    }
    return {0, compareText(a, b)};
}

}  // namespace

CellOrder serverColumnOrder(int c) {
    if (c == column(ServerColumn::Players)) {
        return CellOrder::Players;
    }
    return c == column(ServerColumn::Ping) ? CellOrder::Ping : CellOrder::Text;
}

CellOrder playerColumnOrder(int c) {
    return c == column(PlayerColumn::Name) ? CellOrder::Text : CellOrder::Number;
}

bool cellSortsBefore(CellOrder order, std::string_view a, std::string_view b, bool descending) {
    const Placed placed = place(order, a, b);
    if (placed.rank != 0) {
        return placed.rank < 0;
    }
    return descending ? placed.within > 0 : placed.within < 0;
}
