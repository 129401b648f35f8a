#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <string_view>
#include <utility>

#include "browser/record_text.h"
#include "browser/server_launch_target.h"
#include "browser/server_table.h"
#include "launch/config_file.h"
#include "launch/game_launch.h"
#include "launch/settings.h"
#include "shell/about_dialog.h"
#include "shell/custom_server_dialog.h"
#include "shell/detailed_info_dialog.h"
#include "shell/filter_bar.h"
#include "shell/login_dialog.h"
#include "shell/pictures.h"
#include "shell/player_list_view.h"
#include "shell/qt_news_view.h"
#include "shell/recent_players_dialog.h"
#include "shell/server_list_view.h"
#include "shell/settings_dialogs.h"
#include "shell/wad_directory_dialog.h"
#ifdef PELLRIG_WAD_FETCH
#include "shell/wad_download_offer.h"
#include "shell/wad_sites_dialog.h"
#endif
#include "shell/welcome_dialog.h"

namespace {

struct WebPage {
    const char* name;
    const char* text;
    const char* url;
};

constexpr WebPage kWebPages[] = {
    {"homepage", "Brumvek Homepage", "https://www.pellrig.example/"},
    {"forums", "Forums", "https://forums.pellrig.example/"},
    {"rankings", "Server Rankings", "https://www.pellrig.example/rankings"},
    {"reportBug", "Report a Bug", "https://www.pellrig.example/bugs"},
    {"download", "Download the Game", "https://www.pellrig.example/download"},
};

constexpr char kHeadsUp[] = "Quick heads up";
constexpr char kAutoLoginWarning[] =
    "WARNING! Keep in mind that simply opening up the application\nwill automatically log you into Brumvek. "
    "Someone could\nimpersonate you any maybe even screw up your account.\n\nEnable auto-login?";

QIcon toolbarIcon(const char* name) {
    const QString base = QStringLiteral(":/icons/toolbar_%1").arg(QString::fromLatin1(name));
    QIcon icon;
    icon.addFile(pictureResource(base), {}, QIcon::Normal);
    icon.addFile(pictureResource(base + QStringLiteral("_hot")), {}, QIcon::Active);
    icon.addFile(pictureResource(base + QStringLiteral("_disabled")), {}, QIcon::Disabled);
    return icon;
}

}  // namespace

MainWindow::MainWindow(ShellConfig config, MessageBoxes& boxes)
    : m_network(config.net),
      m_config(std::move(config)),
      m_boxes(boxes),
      m_messages(boxes),
      m_accountViews(boxes),
      m_serverList(new ServerListView(this)),
      m_playerList(new PlayerListView(this)),
      m_sweeps(m_serverList->rows()),
      m_dispatcher({m_serverList->rows(), m_playerList->rows(), m_messages}, &m_sweeps, &m_favourites),
      m_browser({m_serverList->rows(), m_playerList->rows(), m_messages}, {m_config.masterHost}),
      m_accounts(m_accountViews.views(), {m_config.masterHost, {}}, &m_dispatcher, &m_browser),
      m_loginDialog(new LoginDialog(m_accounts, boxes, m_config.configLocation, this)),
      m_recentPlayers(new RecentPlayersDialog(m_accounts, this)),
      m_extraParams(new ExtraParamsDialog(boxes, m_config.configLocation, this)),
      m_serverPassword(new ServerPasswordDialog(boxes, this)),
      m_newsView(std::make_unique<QtNewsView>(boxes)) {
    m_dispatcher.setAccountHandler(&m_accounts);
    m_accountViews.attach(m_accounts, m_recentPlayers);
    m_serverList->setFavourites(&m_favourites);
    m_serverList->hide();
    m_playerList->hide();
}

MainWindow::~MainWindow() {
    shutDown();
}

void MainWindow::startUp() {
    createToolBar();
    createMenus();
    createShortcuts();
    connectCommands();
    setWindowTitle(QString::fromLatin1(kStartingTitle));
    setCentralWidget(createTabs());
    m_serverList->show();
    m_playerList->show();
    // Before the log-in, whose master list starts the first sweep.
    applyPreferences();
    runLoginGate();
    rebuildWadIndex();
    runWelcome();
    startBrowsing();
}

void MainWindow::applyPreferences() {
    LoadedPreferences loaded = loadPreferences(m_config.configLocation);
    m_preferences = std::move(loaded.preferences);
    command("fastRefresh")->setChecked(m_preferences.fastRefresh);
    m_sweeps.setFast(m_preferences.fastRefresh);
    if (m_preferences.serverSortColumn >= 0) {
        m_serverList->rows().sortBy(m_preferences.serverSortColumn, m_preferences.serverSortDescending);
    }
    if (m_preferences.playerSortColumn >= 0) {
        m_playerList->rows().sortBy(m_preferences.playerSortColumn, m_preferences.playerSortDescending);
    }
    ServerFilter filter;
    filter.hideEmpty = m_preferences.hideEmpty;
    filter.hideFull = m_preferences.hideFull;
    filter.hideSilent = m_preferences.hideSilent;
    filter.gameType = m_preferences.gameType;
    m_filterBar->setFilter(QString::fromStdString(m_preferences.filterText), filter);
    m_serverList->setFilter(m_filterBar->filter());
    m_filterBar->setVisible(m_preferences.filterBarShown || m_serverList->filter().active());
    m_favourites.set(m_preferences.favourites);
    m_serverList->markAllRows();
    updateTabTitle();
    if (loaded.message) {
        m_boxes.showMessage(std::move(*loaded.message));
    }
}

void MainWindow::runLoginGate() {
    {
        const auto lock = lockBrowser();
        browser_ready = 10;
    }
    m_loginDialog->exec();
}

void MainWindow::runWelcome() {
    std::string user;
    {
        const auto lock = lockSettings();
        if (bv_firstrun <= 0) {
            return;
        }
        user = bv_username;
    }
    runWelcomeFlow(
        this, user, [this](QWidget* /*welcome*/) { wadDirectories(); },
        [this] { m_browser.SendMasterRequest(); });
}

void MainWindow::startBrowsing() {
    m_receiver.emplace(m_dispatcher);
    NewsConfig news;
    news.host = m_config.newsHost;
    int lastArticle = 0;
    bool checkNews = false;
    {
        const auto lock = lockSettings();
        checkNews = bv_firstrun < 1 && bv_shownews >= 1;
        lastArticle = bv_lastarticleno;
        bv_firstrun = 0;
    }
    if (checkNews) {
        m_news = std::make_unique<NewsCheckThread>(news, lastArticle, *m_newsView);
    }
}

void MainWindow::shutDown() {
    if (m_shutDown) {
        return;
    }
    m_shutDown = true;
    // The workers go first, newest first, so none is left using the lists, the
    // settings or the socket; an open profile takes its update thread along.
    delete m_accountViews.profileDialog();
    m_news.reset();
    m_receiver.reset();
    m_sweeps.stop();
    delete m_tabs;
    m_filterBar = nullptr;
    m_serverList = nullptr;
    m_playerList = nullptr;
    BV_SaveConfig(m_boxes, m_config.configLocation);
    m_network.close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    shutDown();
}

QAction* MainWindow::command(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

QAction* MainWindow::addCommand(QMenu* menu, const char* text, const char* name) {
    auto* action = new QAction(QString::fromLatin1(text), this);
    action->setObjectName(QString::fromLatin1(name));
    action->setIconVisibleInMenu(false);
    if (menu != nullptr) {
        menu->addAction(action);
    }
    return action;
}

void MainWindow::createToolBar() {
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(32, 31));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    setDockNestingEnabled(true);
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* launch = addCommand(file, "&Launch Game", "launchGame");
    file->addSeparator();
    addCommand(file, "E&xit", "exit");

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* toolbar = m_toolBar->toggleViewAction();
    toolbar->setText(QStringLiteral("&Toolbar"));
    toolbar->setObjectName(QStringLiteral("toolbar"));
    view->addAction(toolbar);
    addCommand(view, "&Status Bar", "statusBar")->setEnabled(false);
    addCommand(view, "&Filter", "filterBar")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));

    QMenu* server = menuBar()->addMenu(QStringLiteral("&Server"));
    addCommand(server, "&Launch Game", "serverLaunchGame");
    addCommand(server, "&Enter Password", "enterPassword");
    addCommand(server, "&Detailed Server Information", "detailedServerInfo");
    addCommand(server, "Add to Favourites", "favourite")->setEnabled(false);
    connect(server, &QMenu::aboutToShow, this, &MainWindow::updateFavouriteCommand);
    m_serverMenu = new QMenu(this);
    m_serverMenu->setObjectName(QStringLiteral("serverMenu"));
    m_serverMenu->addAction(command("favourite"));
    QMenu* refresh = server->addMenu(QStringLiteral("Refresh"));
    QAction* refreshServer = addCommand(refresh, "&Refresh Server", "refreshServer");
    QAction* refreshAll = addCommand(refresh, "R&efresh All", "refreshAll");
    QAction* queryMaster = addCommand(refresh, "&Query Master", "queryMaster");
    server->addSeparator();
    addCommand(server, "Specify Custom IP Address", "customServer");
    server->addSeparator();
    QMenu* admin = server->addMenu(QStringLiteral("&Admin"));
    addCommand(admin, "&Enable stat collection", "enableStats");
    addCommand(admin, "&Disable stat collection", "disableStats");

    QMenu* stats = menuBar()->addMenu(QStringLiteral("St&ats"));
    addCommand(stats, "&Player Lookup List", "playerLookup");

    QMenu* settings = menuBar()->addMenu(QStringLiteral("S&ettings"));
    QAction* wads = addCommand(settings, "&WAD Directories", "wadDirectories");
    addCommand(settings, "Extra Command Line Parameters", "extraParams");
#ifdef PELLRIG_WAD_FETCH
    addCommand(settings, "WAD Download Sites", "wadSites");
#endif
    QMenu* preferences = settings->addMenu(QStringLiteral("Preferences"));
    m_autoLoginAction = addCommand(preferences, "Login Automatically", "autoLogin");
    m_autoLoginAction->setCheckable(true);
    m_newsAction = addCommand(preferences, "Check for news updates", "checkNews");
    m_newsAction->setCheckable(true);
    settings->addSeparator();
    addCommand(settings, "Fast Refresh", "fastRefresh")->setCheckable(true);
    connect(settings, &QMenu::aboutToShow, this, &MainWindow::refreshCheckMarks);
    connect(preferences, &QMenu::aboutToShow, this, &MainWindow::refreshCheckMarks);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about = addCommand(help, "&About Brumvek", "about");
    help->addSeparator();
    QMenu* web = help->addMenu(QStringLiteral("On the Web"));
    for (const WebPage& page : kWebPages) {
        if (std::string_view(page.name) == "reportBug") {
            web->addSeparator();
        }
        QAction* action = addCommand(web, page.text, page.name);
        connect(action, &QAction::triggered, this,
                [url = page.url] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(url))); });
    }

    // The toolbar: the same commands, and a Player Lookup List button of its own.
    const struct {
        QAction* action;
        const char* icon;
        const char* tip;
    } buttons[] = {
        {launch, "launch", "Launches the selected game."},
        {nullptr, nullptr, nullptr},
        {refreshServer, "refresh", "Refreshes the selected server."},
        {refreshAll, "refresh_all", "Refreshes all servers."},
        {queryMaster, "query_master", "Resets the server list."},
        {nullptr, nullptr, nullptr},
        {wads, "wad_directories", "Configures .WAD paths."},
        {addCommand(nullptr, "Player Lookup List", "playerLookupButton"), "player_lookup", nullptr},
        {nullptr, nullptr, nullptr},
        {about, "about", "About Brumvek."},
    };
    for (const auto& button : buttons) {
        if (button.action == nullptr) {
            m_toolBar->addSeparator();
            continue;
        }
        button.action->setIcon(toolbarIcon(button.icon));
        button.action->setToolTip(button.tip != nullptr ? QString::fromLatin1(button.tip) : QString());
        m_toolBar->addAction(button.action);
    }
}

// One tab, "Server Browser", holding a splitter with the server list above
// (400 high at start, with the filter bar over it when shown) and the player
// list below (200 high), both as wide as the window.
QTabWidget* MainWindow::createTabs() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDocumentMode(true);
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->setChildrenCollapsible(false);
    m_serverList->resize(200, 400);
    m_playerList->resize(200, 200);
    auto* servers = new QWidget;
    auto* serversLayout = new QVBoxLayout(servers);
    serversLayout->setContentsMargins(0, 0, 0, 0);
    serversLayout->setSpacing(0);
    m_filterBar = new FilterBar;
    m_filterBar->hide();
    serversLayout->addWidget(m_filterBar);
    serversLayout->addWidget(m_serverList);
    splitter->addWidget(servers);
    splitter->addWidget(m_playerList);
    splitter->setSizes({400, 200});
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    m_tabs->addTab(splitter, QStringLiteral("Server Browser"));

    connect(m_filterBar, &FilterBar::filterChanged, this, &MainWindow::filterChanged);
    connect(m_filterBar, &FilterBar::closed, this, [this] {
        m_preferences.filterBarShown = false;
        savePreferences(m_preferences, m_boxes, m_config.configLocation);
    });
    connect(m_serverList, &ServerListView::shownRowsChanged, this, &MainWindow::updateTabTitle);
    connect(&m_serverList->rows(), &ListRows::sortChosen, this, [this](int column, bool descending) {
        m_preferences.serverSortColumn = column;
        m_preferences.serverSortDescending = descending;
        savePreferences(m_preferences, m_boxes, m_config.configLocation);
    });
    connect(&m_playerList->rows(), &ListRows::sortChosen, this, [this](int column, bool descending) {
        m_preferences.playerSortColumn = column;
        m_preferences.playerSortDescending = descending;
        savePreferences(m_preferences, m_boxes, m_config.configLocation);
    });
    return m_tabs;
}

void MainWindow::createShortcuts() {
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { showSettingsDiagnostics(m_boxes); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2), this), &QShortcut::activated, this,
            [this] { showWadDirectoryDiagnostics(m_boxes); });
}

void MainWindow::connectCommands() {
    const auto on = [this](const char* name, auto handler) {
        connect(command(name), &QAction::triggered, this, handler);
    };
    on("launchGame", [this] { launchGame(true); });
    on("serverLaunchGame", [this] { launchGame(false); });
    on("exit", [this] { close(); });
    on("enterPassword", [this] { m_serverPassword->exec(); });
    on("detailedServerInfo", [this] { detailedServerInfo(); });
    on("refreshServer", [this] { m_browser.RefreshSelected(); });
    on("refreshAll", [this] { m_browser.RefreshAll(); });
    on("queryMaster", [this] { m_browser.QueryMaster(); });
    on("customServer", [this] { customServerQuery(); });
    on("enableStats", [this] { statCollection(true); });
    on("disableStats", [this] { statCollection(false); });
    on("playerLookup", [this] { playerLookupList(); });
    on("playerLookupButton", [this] { playerLookupList(); });
    on("wadDirectories", [this] { wadDirectories(); });
    on("extraParams", [this] { m_extraParams->exec(); });
#ifdef PELLRIG_WAD_FETCH
    on("wadSites", [this] { editWadSites(); });
#endif
    on("autoLogin", [this] { toggleAutoLogin(); });
    on("checkNews", [this] { toggleNews(); });
    on("fastRefresh", [this](bool checked) { setFastRefresh(checked); });
    on("filterBar", [this] { showFilterBar(); });
    on("favourite", [this] { toggleFavourite(); });
    on("about", [this] {
        AboutDialog about(this);
        about.exec();
    });

    connect(m_serverList, &ServerListView::leftClicked, this, [this] { m_browser.ShowSelectedPlayers(); });
    connect(m_serverList, &ServerListView::rightClicked, this, [this] { m_browser.RefreshSelected(); });
    connect(m_serverList, &ServerListView::serverMenuAsked, this, [this](const QPoint& where) {
        updateFavouriteCommand();
        m_serverMenu->popup(where);
    });
    connect(m_serverList, &ServerListView::leftDoubleClicked, this, [this] { launchGame(false); });
}

void MainWindow::launchGame(bool gated) {
    if (gated && browser_ready == 0) {
        return;
    }
    std::optional<LaunchTarget> target;
    if (const std::optional<ServerRecord> selected = m_browser.GetSelectedServer()) {
        target = launchTargetOf(*selected);
    }
#ifdef PELLRIG_WAD_FETCH
    if (target && !offerWadDownload(*target, m_preferences.wadSites, m_boxes, this)) {
        return;
    }
#endif
    LaunchGame(target, m_accounts.ownAccount().level, m_boxes, m_config.gameFolder);
}

#ifdef PELLRIG_WAD_FETCH
void MainWindow::editWadSites() {
    WadSitesDialog dialog(m_preferences.wadSites, this);
    if (dialog.exec() == QDialog::Accepted) {
        m_preferences.wadSites = dialog.sites();
        savePreferences(m_preferences, m_boxes, m_config.configLocation);
    }
}
#endif

void MainWindow::detailedServerInfo() {
    showDetailedServerInfo(m_browser.GetSelectedServer(), m_boxes, this);
}

void MainWindow::customServerQuery() {
    CustomServerDialog dialog(m_browser, this);
    dialog.exec();
}

void MainWindow::statCollection(bool enable) {
    std::optional<std::string> address;
    if (const std::optional<ServerRecord> selected = m_browser.GetSelectedServer()) {
        address = std::string(recordText(selected->address));
    }
    m_accounts.switchStatCollection(enable, address);
}

void MainWindow::playerLookupList() {
    if (browser_ready == 0) {
        return;
    }
    m_recentPlayers->exec();
}

void MainWindow::wadDirectories() {
    WadDirectoryDialog dialog(
        m_boxes, [this] { m_browser.SendMasterRequest(); }, m_config.configLocation, {}, this);
    connect(&dialog, &WadDirectoryDialog::directoriesChanged, this, &MainWindow::rebuildWadIndex);
    dialog.exec();
}

void MainWindow::rebuildWadIndex() {
    m_wadIndex = WadIndex::ofWadDirectories();
    m_serverList->setWadIndex(&m_wadIndex);
    m_serverList->markAllRows();
}

void MainWindow::updateFavouriteCommand() {
    QAction* favourite = command("favourite");
    const std::optional<ServerRecord> selected = m_browser.GetSelectedServer();
    favourite->setEnabled(selected.has_value());
    const bool known = selected && m_favourites.contains(recordText(selected->address));
    favourite->setText(known ? QStringLiteral("Remove from Favourites")
                             : QStringLiteral("Add to Favourites"));
}

void MainWindow::toggleFavourite() {
    const std::optional<ServerRecord> selected = m_browser.GetSelectedServer();
    if (!selected) {
        return;
    }
    const std::string_view address = recordText(selected->address);
    if (!m_favourites.remove(address)) {
        m_favourites.add(address);
    }
    m_preferences.favourites = m_favourites.addresses();
    savePreferences(m_preferences, m_boxes, m_config.configLocation);
    m_serverList->markAllRows();
}

void MainWindow::toggleAutoLogin() {
    int32_t autoLogin = 0;
    {
        const auto lock = lockSettings();
        autoLogin = bv_autologin;
        if (autoLogin == 1) {
            bv_autologin = 0;
        }
    }
    if (autoLogin == 1) {
        m_boxes.showMessage({"Auto-login disabled.", kHeadsUp, MessageIcon::None});
        return;
    }
    if (autoLogin != 0 || !m_boxes.confirm(kAutoLoginWarning, kHeadsUp)) {
        return;
    }
    {
        const auto lock = lockSettings();
        bv_autologin = 1;
        bv_rememberpassword = 1;
    }
    m_boxes.showMessage({"Auto-login enabled.", kHeadsUp, MessageIcon::None});
}

void MainWindow::toggleNews() {
    const auto lock = lockSettings();
    bv_shownews = bv_shownews != 0 ? 0 : 1;
}

void MainWindow::setFastRefresh(bool fast) {
    m_preferences.fastRefresh = fast;
    m_sweeps.setFast(fast);
    savePreferences(m_preferences, m_boxes, m_config.configLocation);
}

void MainWindow::refreshCheckMarks() {
    const auto lock = lockSettings();
    m_autoLoginAction->setChecked(bv_autologin == 1);
    m_newsAction->setChecked(bv_shownews == 1);
}

void MainWindow::showFilterBar() {
    m_filterBar->open();
    if (!m_preferences.filterBarShown) {
        m_preferences.filterBarShown = true;
        savePreferences(m_preferences, m_boxes, m_config.configLocation);
    }
}

void MainWindow::filterChanged() {
    const ServerFilter filter = m_filterBar->filter();
    m_preferences.filterText = m_filterBar->text().toStdString();
    m_preferences.hideEmpty = filter.hideEmpty;
    m_preferences.hideFull = filter.hideFull;
    m_preferences.hideSilent = filter.hideSilent;
    m_preferences.gameType = filter.gameType;
    m_serverList->setFilter(filter);
    savePreferences(m_preferences, m_boxes, m_config.configLocation);
}

void MainWindow::updateTabTitle() {
    if (m_tabs == nullptr || m_serverList == nullptr) {
        return;
    }
    m_tabs->setTabText(0, m_serverList->filter().active() ? QStringLiteral("%1 of %2 servers")
                                                                .arg(m_serverList->shownRowCount())
                                                                .arg(m_serverList->topLevelItemCount())
                                                          : QStringLiteral("Server Browser"));
}
