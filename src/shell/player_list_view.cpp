#include "shell/player_list_view.h"

#include <vector>

#include "shell/list_view_setup.h"

PlayerListView::PlayerListView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("playerList"));
    setUpListView(*this, {{"Level ", 40}, {"Name", 200}, {"Frags/Kills", 60}, {"Ping", 50}, {"Time", 50}});
    m_rows = std::make_unique<ListRows>(*this, std::vector<QIcon>{}, &playerColumnOrder);
}
