// The server list sorted by a click on a heading and narrowed by the filter,
// driven through the core's row interface with records in the server table.

#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "browser/favourites.h"
#include "browser/record_text.h"
#include "browser/server_table.h"
#include "shell/filter_bar.h"
#include "shell/server_list_view.h"
#include "shell_test_support.h"

namespace {

constexpr int kPing = 6;

// The column's texts of the rows shown, from the top, joined by commas.
QString shown(const QTreeWidget& list, int column) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        if (!list.topLevelItem(i)->isHidden()) {
            texts << list.topLevelItem(i)->text(column);
        }
    }
    return texts.join(QLatin1Char(','));
}

// Appends a row (item data = its core row) per name and ping as the core does,
// under the browser's lock, and applies them.
void addRows(ListRows& rows, int first, const std::vector<std::pair<std::string, std::string>>& cells) {
    {
        const auto lock = lockBrowser();
        for (const auto& [name, ping] : cells) {
            const int row = rows.insertRow(first, first, 0);
            rows.setCell(row, 0, name);
            rows.setCell(row, kPing, ping);
            ++first;
        }
    }
    rows.flushAll();
}

void setPing(ListRows& rows, int row, const std::string& ping) {
    {
        const auto lock = lockBrowser();
        rows.setCell(row, kPing, ping);
    }
    rows.flushAll();
}

}  // namespace

class ListSortFilterTest : public QObject {
    Q_OBJECT

  private slots:
    void headingSortsStablyWithNoValueLast();
    void sortedRowsHoldTheirPlace();
    void filterHidesRows();
    void favouritesSortFirst();
};

void ListSortFilterTest::headingSortsStablyWithNoValueLast() {
    ServerListView list;
    list.show();
    ListRows& rows = list.rows();
    addRows(rows, 0, {{"A", "50"}, {"Silent", "***"}, {"Unanswered", ""}, {"D", "20"}, {"E", "50"}});
    QVERIFY(!list.header()->isSortIndicatorShown());
    QCOMPARE(shown(list, 0), QStringLiteral("A,Silent,Unanswered,D,E"));

    clickHeading(list, kPing);
    QVERIFY(list.header()->isSortIndicatorShown());
    QCOMPARE(shown(list, 0), QStringLiteral("D,A,E,Silent,Unanswered"));
    clickHeading(list, kPing);
    QCOMPARE(shown(list, 0), QStringLiteral("A,E,D,Silent,Unanswered"));

    // Cells reach the core's rows; E, selected, stays selected as its new ping
    // moves it, and the core is still told E.
    list.setCurrentItem(list.topLevelItem(1));
    QCOMPARE(rows.selectedItemData(), 4);
    setPing(rows, 4, "5");
    addRows(rows, 5, {{"F", "30"}});
    QCOMPARE(shown(list, kPing), QStringLiteral("50,30,20,5,***,"));
    QVERIFY(list.currentItem()->text(0) == QStringLiteral("E") && list.currentItem()->isSelected());
    QCOMPARE(rows.selectedItemData(), 4);
}

void ListSortFilterTest::sortedRowsHoldTheirPlace() {
    ServerListView list;
    list.resize(600, 200);
    list.show();
    for (int i = 0; i < 60; ++i) {
        addRows(list.rows(), i, {{"S" + std::to_string(i), std::to_string(100 + i)}});
    }
    list.rows().sortBy(kPing, false);
    list.verticalScrollBar()->setValue(20);
    QTreeWidgetItem* selected = list.topLevelItem(22);
    list.setCurrentItem(selected);
    const int top = list.visualItemRect(selected).top();
    // Down past the rows on the screen, then up among them.
    for (const char* ping : {"141", "125"}) {
        setPing(list.rows(), 22, ping);
        QCOMPARE(list.visualItemRect(selected).top(), top);
    }
    QCOMPARE(list.indexOfTopLevelItem(selected), 25);
}

void ListSortFilterTest::filterHidesRows() {
    ServerListView list;
    {
        const auto lock = lockBrowser();
        resetServerTable();
        server_count = 4;  // the fourth never answered
        const auto store = [](size_t i, const char* name, const char* player, int players, int maximum,
                              int type) {
            ServerRecord& record = server_table[i];
            copyText(record.name, name);
            copyText(record.players[0].name, player);
            record.players[0].present = *player != '\0' ? kPresent : kAbsent;
            std::tie(record.num_players, record.max_players, record.game_type) =
                std::tuple(players, maximum, type);
            record.answered = true;
        };
        store(0, "Alpha", "Cyb", 1, 8, 0);
        store(1, "Beta", "", 0, 8, 1);
        store(2, "Gamma", "Zed", 4, 4, 2);
        server_table[3].ping = kSilentPing;
    }
    addRows(list.rows(), 0, {{"Alpha", "10"}, {"Beta", "10"}, {"Gamma", "10"}, {"Silent", "***"}});

    FilterBar bar;
    const auto filterBy = [&](const QString& text, const char* box, int gameType) {
        bar.setFilter(text, {});
        if (box != nullptr) {
            child<QCheckBox>(&bar, box)->setChecked(true);
        }
        child<QComboBox>(&bar, "gameType")->setCurrentIndex(gameType + 1);
        list.setFilter(bar.filter());
        return shown(list, 0);
    };
    QCOMPARE(filterBy(QStringLiteral("cyb"), nullptr, -1), QStringLiteral("Alpha"));  // a player
    QCOMPARE(filterBy(QStringLiteral("GAM"), nullptr, -1), QStringLiteral("Gamma"));
    QCOMPARE(filterBy(QStringLiteral("\u20AC"), nullptr, -1), QString());
    QCOMPARE(filterBy({}, "hideEmpty", -1), QStringLiteral("Alpha,Gamma"));
    QCOMPARE(filterBy({}, "hideFull", -1), QStringLiteral("Alpha,Beta"));
    QCOMPARE(filterBy({}, "hideSilent", -1), QStringLiteral("Alpha,Beta,Gamma"));
    QCOMPARE(filterBy({}, nullptr, 2), QStringLiteral("Gamma"));

    // A row whose server changes is filtered again once its cells are applied.
    {
        const auto lock = lockBrowser();
        server_table[1].game_type = 2;
    }
    setPing(list.rows(), 1, "12");
    QCOMPARE(shown(list, 0), QStringLiteral("Beta,Gamma"));
    QCOMPARE(filterBy({}, nullptr, -1), QStringLiteral("Alpha,Beta,Gamma,Silent"));
}

// A favourite is starred in view only and sorts first both ways.
void ListSortFilterTest::favouritesSortFirst() {
    ServerListView list;
    {
        const auto lock = lockBrowser();
        resetServerTable();
        server_count = 3;
        for (size_t i = 0; i < 3; ++i) {
            server_table[i] = {};
            copyText(server_table[i].address, ("127.0.0.1:" + std::to_string(i)).c_str());
        }
    }
    addRows(list.rows(), 0, {{"Alpha", "30"}, {"Beta", "10"}, {"Gamma", "20"}});
    Favourites favourites;
    favourites.set({"127.0.0.1:2"});
    list.setFavourites(&favourites);
    list.markAllRows();
    clickHeading(list, kPing);
    QCOMPARE(shown(list, 0), QStringLiteral("\u2605 Gamma,Beta,Alpha"));
    clickHeading(list, kPing);
    QCOMPARE(shown(list, 0), QStringLiteral("\u2605 Gamma,Alpha,Beta"));
    QCOMPARE(list.topLevelItem(0)->data(0, kRawTextRole).toByteArray(), QByteArray("Gamma"));
}

QTEST_MAIN(ListSortFilterTest)
#include "tst_list_sort_filter.moc"
