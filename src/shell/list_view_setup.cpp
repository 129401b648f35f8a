#include "shell/list_view_setup.h"

#include <QHeaderView>
#include <QPalette>
#include <QTreeWidget>

namespace {

// The selected row stays marked while another window has the focus.
void keepSelectionMarkedWithoutFocus(QTreeWidget& list) {
    QPalette palette = list.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list.setPalette(palette);
}

}  // namespace

void setUpListView(QTreeWidget& list, std::initializer_list<ListColumn> columns) {
    list.setRootIsDecorated(false);
    list.setItemsExpandable(false);
    list.setUniformRowHeights(true);
    list.setSortingEnabled(false);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setAllColumnsShowFocus(true);
    list.header()->setSectionsClickable(true);
    list.header()->setSortIndicatorShown(false);
    list.header()->setSectionsMovable(false);
    list.header()->setStretchLastSection(false);
    keepSelectionMarkedWithoutFocus(list);

    QStringList headings;
    for (const ListColumn& column : columns) {
        headings << QString::fromLatin1(column.heading);
    }
    list.setHeaderLabels(headings);
    int index = 0;
    for (const ListColumn& column : columns) {
        list.setColumnWidth(index++, column.width);
    }
}
