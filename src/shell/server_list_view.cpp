#include "shell/server_list_view.h"

#include <QMouseEvent>
#include <QStringList>
#include <QStyle>
#include <utility>
#include <vector>

#include "browser/favourites.h"
#include "browser/record_text.h"
#include "browser/server_launch_target.h"
#include "browser/server_table.h"
#include "launch/wad_index.h"
#include "shell/latin1_text.h"
#include "shell/list_view_setup.h"
#include "shell/pictures.h"

namespace {

constexpr int kWadsColumn = 5;

}  // namespace

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
    m_readyIcon = style()->standardIcon(QStyle::SP_DialogApplyButton);
    m_missingIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    m_rows->setBatchApplied([this](const std::vector<QTreeWidgetItem*>& items) {
        filterRows(items);
        markRows(items);
        emit shownRowsChanged();
    });
}

std::vector<QTreeWidgetItem*> ServerListView::allItems() const {
    std::vector<QTreeWidgetItem*> items;
    items.reserve(static_cast<size_t>(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        items.push_back(topLevelItem(i));
    }
    return items;
}

void ServerListView::setFilter(ServerFilter filter) {
    m_filter = std::move(filter);
    filterRows(allItems());
    emit shownRowsChanged();
}

void ServerListView::markAllRows() {
    markRows(allItems());
    m_rows->sortAgain();
}

void ServerListView::markRows(const std::vector<QTreeWidgetItem*>& items) {
    forEachRecord(items,
                  [this](QTreeWidgetItem& item, const ServerRecord& record) { markRow(item, record); });
}

void ServerListView::forEachRecord(const std::vector<QTreeWidgetItem*>& items,
                                   const std::function<void(QTreeWidgetItem&, const ServerRecord&)>& act) {
    if (items.empty()) {
        return;
    }
    const auto lock = lockBrowser();
    for (QTreeWidgetItem* item : items) {
        const int index = item->data(0, kItemDataRole).toInt();
        // The widget may still show rows of a table rebuilt since; their Clear is on its way.
        if (index >= 0 && index < server_count) {
            act(*item, server_table[static_cast<size_t>(index)]);
        }
    }
}

void ServerListView::markRow(QTreeWidgetItem& item, const ServerRecord& record) {
    const bool favourite = m_favourites != nullptr && m_favourites->contains(recordText(record.address));
    if (item.data(0, kFavouriteRole).toBool() != favourite) {
        item.setData(0, kFavouriteRole, favourite);
    }
    // The star is only shown: sorting and the filter read the server's own name.
    QString name = QString::fromLatin1(item.data(0, kRawTextRole).toByteArray());
    if (favourite) {
        name.prepend(QStringLiteral("\u2605 "));
    }
    if (item.text(0) != name) {
        item.setText(0, name);
    }

    const bool answered = record.answered || record.name[0] != '\0';
    if (m_wads == nullptr || !answered) {
        item.setData(kWadsColumn, Qt::DecorationRole, QVariant());
        item.setToolTip(kWadsColumn, QString());
        return;
    }
    const std::vector<std::string> missing = m_wads->missing(launchTargetOf(record));
    QStringList names;
    for (const std::string& file : missing) {
        names << fromLatin1Text(file);
    }
    item.setIcon(kWadsColumn, missing.empty() ? m_readyIcon : m_missingIcon);
    item.setToolTip(kWadsColumn, missing.empty()
                                     ? QStringLiteral("You have every WAD this server needs.")
                                     : QStringLiteral("Missing: ") + names.join(QStringLiteral(", ")));
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
    forEachRecord(items, [this](QTreeWidgetItem& item, const ServerRecord& record) {
        const bool hide = !serverPasses(m_filter, record);
        if (item.isHidden() != hide) {
            item.setHidden(hide);
        }
    });
}

void ServerListView::mousePressEvent(QMouseEvent* event) {
    QTreeWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit leftClicked();
    } else if (event->button() == Qt::RightButton) {
        emit rightClicked();
        if (itemAt(event->position().toPoint()) != nullptr) {
            emit serverMenuAsked(event->globalPosition().toPoint());
        }
    }
}

void ServerListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit leftDoubleClicked();
    }
}
