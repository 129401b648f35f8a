#pragma once

#include <initializer_list>

class QTreeWidget;

struct ListColumn {
    const char* heading;
    int width;
};

// Makes `list` one of the main window's flat lists with `columns`. The widget
// never sorts by itself: its headings can be clicked, and its ListRows sorts
// when they are, with no arrow before the first click. One row at a time is
// selected, across the whole row, and the selection stays visible without
// focus.
void setUpListView(QTreeWidget& list, std::initializer_list<ListColumn> columns);
