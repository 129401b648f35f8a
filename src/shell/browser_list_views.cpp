#include "shell/browser_list_views.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>
#include <initializer_list>
#include <utility>

#include "shell/pictures.h"

namespace {

struct Column {
    const char* heading;
    int width;
};

void setUpList(QTreeWidget& list, std::initializer_list<Column> columns) {
    list.setRootIsDecorated(false);
    list.setItemsExpandable(false);
    list.setUniformRowHeights(true);
    list.setSortingEnabled(false);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
    list.setAllColumnsShowFocus(true);
    list.header()->setSectionsClickable(false);
    list.header()->setSectionsMovable(false);
    list.header()->setStretchLastSection(false);
    // The selected row stays marked while another window has the focus.
    QPalette palette = list.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    list.setPalette(palette);

    QStringList headings;
    for (const Column& column : columns) {
        headings << QString::fromLatin1(column.heading);
    }
    list.setHeaderLabels(headings);
    int index = 0;
    for (const Column& column : columns) {
        list.setColumnWidth(index++, column.width);
    }
}

}  // namespace

CBottomView::CBottomView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("serverList"));
    setUpList(*this, {{"Server Name", 300},
                      {"Players", 65},
                      {"Game", 150},
                      {"Type", 75},
                      {"Map", 50},
                      {"Wads", 150},
                      {"Ping", 50}});
    m_rows = std::make_unique<ListRows>(
        *this, std::vector<QIcon>{QIcon(pictureResource(QStringLiteral(":/icons/server"))),
                                  QIcon(pictureResource(QStringLiteral(":/icons/server_scorecard")))});
}

void CBottomView::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit leftClicked();
    } else if (event->button() == Qt::RightButton) {
        emit rightClicked();
    }
}

void CBottomView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit leftDoubleClicked();
    }
}

CDummyList::CDummyList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("playerList"));
    setUpList(*this, {{"Level ", 40}, {"Name", 200}, {"Frags/Kills", 60}, {"Ping", 50}, {"Time", 50}});
    m_rows = std::make_unique<ListRows>(*this, std::vector<QIcon>{});
}
