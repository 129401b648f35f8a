#include "shell/server_list_view.h"

#include <QMouseEvent>
#include <utility>
#include <vector>

#include "browser/server_table.h"
#include "shell/list_view_setup.h"
#include "shell/pictures.h"

ServerListView::ServerListView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("serverList"));
    setUpListView(*this, {{"Server Name", 300},
                          {"Players", 65},
                          {"Game", 150},
                          {"Type", 75},
                          {"Map", 50},
                          {"Wads", 150},
                          {"Ping", 50}});
    m_rows = std::make_unique<ListRows>(
        *this,
        std::vector<QIcon>{QIcon(pictureResource(QStringLiteral(":/icons/server"))),
                           QIcon(pictureResource(QStringLiteral(":/icons/server_scorecard")))},
        &serverColumnOrder);
    m_rows->setBatchApplied([this](const std::vector<QTreeWidgetItem*>& items) {
        filterRows(items);
        emit shownRowsChanged();
    });
}

void ServerListView::setFilter(ServerFilter filter) {
    m_filter = std::move(filter);
    std::vector<QTreeWidgetItem*> items;
    items.reserve(static_cast<size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        items.push_back(topLevelItem(i));
    }
    filterRows(items);
    emit shownRowsChanged();
}

int ServerListView::shownRowCount() const {
    int shown = 0;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        shown += topLevelItem(i)->isHidden() ? 0 : 1;
    }
    return shown;
}

void ServerListView::filterRows(const std::vector<QTreeWidgetItem*>& items) {
    if (!m_filter.active()) {
        for (QTreeWidgetItem* item : items) {
            if (item->isHidden()) {
                item->setHidden(false);
            }
        }
        return;
    }
    const auto lock = lockBrowser();
    for (QTreeWidgetItem* item : items) {
        const int index = item->data(0, kItemDataRole).toInt();
        // The widget may still show rows of a table rebuilt since; their Clear is on its way.
        if (index < 0 || index >= server_count) {
            continue;
        }
        const bool hide = !serverPasses(m_filter, server_table[static_cast<size_t>(index)]);
        if (item->isHidden() != hide) {
            item->setHidden(hide);
        }
    }
}

void ServerListView::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit leftClicked();
    } else if (event->button() == Qt::RightButton) {
        emit rightClicked();
    }
}

void ServerListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit leftDoubleClicked();
    }
}
