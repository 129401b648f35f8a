#include "shell/server_list_view.h"

#include <QMouseEvent>
#include <vector>

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
        *this, std::vector<QIcon>{QIcon(pictureResource(QStringLiteral(":/icons/server"))),
                                  QIcon(pictureResource(QStringLiteral(":/icons/server_scorecard")))});
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
