#pragma once

#include <initializer_list>

class QTreeWidget;

struct ListColumn {
    const char* heading;
    int width;
};

// Makes `list` one of the main window's flat lists with `columns`. Rows are
// never sorted and headings do nothing when clicked; one row at a time is
// selected, across the whole row, and the selection stays visible without
// focus.
void setUpListView(QTreeWidget& list, std::initializer_list<ListColumn> columns);
