#pragma once

#include <optional>
#include <string>

// One report-mode list as the browser core sees it: rows carry an integer item
// data and an icon index, cells hold text. The core drives the server list and
// the player list through this interface and never through a toolkit.
//
// Threads: the receive thread, the ping sweep and the UI thread all call it,
// always while holding the browser's lock (lockBrowser()), so calls never
// interleave. An implementation must therefore be thread-safe and must not wait
// for its UI thread inside a call (a UI thread blocked on the browser's lock would
// never answer); one that shows rows on a UI thread keeps a mirror of the item
// data and selection for the queries and queues the visible changes.
class RowView {
  public:
    virtual ~RowView() = default;

    // Inserts an empty row before `position` (0 is the top; past the end appends)
    // and returns the index it got.
    virtual int insertRow(int position, int itemData, int icon) = 0;
    // Sets one cell's text; a row or column that does not exist is ignored.
    virtual void setCell(int row, int column, std::string text) = 0;
    // The first row, from the top, whose item data is `itemData`.
    virtual std::optional<int> findRow(int itemData) const = 0;
    virtual void clear() = 0;
    // The item data of the row that is both selected and focused, or none.
    virtual std::optional<int> selectedItemData() const = 0;
};

enum class ServerColumn { Name = 0, Players, Game, Type, Map, Wads, Ping };
enum class PlayerColumn { Level = 0, Name, Frags, Ping, Time };

constexpr int column(ServerColumn c) {
    return static_cast<int>(c);
}
constexpr int column(PlayerColumn c) {
    return static_cast<int>(c);
}
