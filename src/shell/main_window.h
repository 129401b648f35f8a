#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "accounts/account_service.h"
#include "browser/browser_ops.h"
#include "browser/dispatcher.h"
#include "browser/favourites.h"
#include "browser/ping_sweep.h"
#include "browser/receive_thread.h"
#include "launch/preferences.h"
#include "launch/wad_index.h"
#include "net/network_session.h"
#include "net/transport.h"
#include "news/news_check.h"
#include "news/news_check_thread.h"
#include "shell/message_boxes.h"
#include "shell/qt_account_views.h"

class ExtraParamsDialog;
class FilterBar;
class LoginDialog;
class PlayerListView;
class QAction;
class QMenu;
class QTabWidget;
class QToolBar;
class QtNewsView;
class RecentPlayersDialog;
class ServerListView;
class ServerPasswordDialog;

// Where the program finds its servers, settings and game. The shipped program
// uses the defaults; tests and the demonstration point it elsewhere.
struct ShellConfig {
    NetConfig net;
    std::string masterHost{kDefaultMasterHost};
    std::string newsHost{kNewsHost};
    std::filesystem::path configLocation;  // the settings file's folder; empty: the working directory
    std::string gameFolder;                // where the game executables are; empty: the working directory
};

inline constexpr char kStartingTitle[] = "Brumvek Server Browser";
inline constexpr char kProgramTitle[] = "Brumvek Game Browser v1.04b";

// The main window. Constructing it opens the network (a second copy of the
// program ends there, before any window); startUp() brings the rest up in
// order: toolbar and title, the browser tab, the preferences of pellrig.json
// (with the lists' sort, the filter and the favourites), the log-in gate, the
// index of the WAD directories, the first-run welcome, then the receive thread
// and the news check. Closing it saves the settings once, stops the threads
// and closes the network.
class MainWindow final : public QMainWindow {
    Q_OBJECT

  public:
    // `boxes` must outlive the window.
    MainWindow(ShellConfig config, MessageBoxes& boxes);
    ~MainWindow() override;

    // Runs the start-up after the network: returns once the log-in has
    // succeeded and the browser runs. The window is not shown here.
    void startUp();

    // For tests and benchmarks.
    ServerListView& serverList() { return *m_serverList; }
    PlayerListView& playerList() { return *m_playerList; }
    ServerBrowser& browser() { return m_browser; }
    AccountService& accounts() { return m_accounts; }
    const PingSweeps& sweeps() const { return m_sweeps; }
    LoginDialog& loginDialog() { return *m_loginDialog; }
    QToolBar& toolBar() { return *m_toolBar; }
    FilterBar& filterBar() { return *m_filterBar; }
    bool newsCheckStarted() const { return m_news != nullptr; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The orderly end; once, on closing or destruction.
    void shutDown();

    void createToolBar();
    void createMenus();
    void createShortcuts();
    QTabWidget* createTabs();
    // A menu or toolbar command; tests find it by its object name `name`.
    QAction* addCommand(QMenu* menu, const char* text, const char* name);
    QAction* command(const char* name) const;
    void connectCommands();
    void runLoginGate();
    void runWelcome();
    void startBrowsing();
    // Loads pellrig.json and applies it; a damaged file's message goes to the boxes.
    void applyPreferences();

    void launchGame(bool gated);
    void detailedServerInfo();
    void customServerQuery();
    void statCollection(bool enable);
    void playerLookupList();
    void wadDirectories();
    void toggleAutoLogin();
    void toggleNews();
    void setFastRefresh(bool fast);
#ifdef PELLRIG_WAD_FETCH
    void editWadSites();
#endif
    // Applies the filter bar's filter to the server list and saves it.
    void filterChanged();
    void showFilterBar();
    // "Server Browser", or "N of M servers" while a filter is active.
    void updateTabTitle();
    void refreshCheckMarks();
    // The favourite command's text for the selected server; disabled without one.
    void updateFavouriteCommand();
    // Adds the selected server to the favourites or removes it, and saves them.
    void toggleFavourite();
    // Lists the WAD directories again and marks the servers by it.
    void rebuildWadIndex();

    NetworkSession m_network;  // first: the network comes up before anything else of the window
    ShellConfig m_config;
    MessageBoxes& m_boxes;
    QtQueuedMessageView m_messages;
    QtAccountViews m_accountViews;
    ServerListView* m_serverList;
    PlayerListView* m_playerList;
    Favourites m_favourites;  // before the dispatcher, which reads it after each master list
    PingSweeps m_sweeps;
    Dispatcher m_dispatcher;
    ServerBrowser m_browser;
    AccountService m_accounts;
    LoginDialog* m_loginDialog;
    RecentPlayersDialog* m_recentPlayers;
    ExtraParamsDialog* m_extraParams;
    ServerPasswordDialog* m_serverPassword;
    std::unique_ptr<QtNewsView> m_newsView;
    Preferences m_preferences;  // as loaded from pellrig.json, saved on each change
    WadIndex m_wadIndex;        // the WAD directories' files; UI thread

    QToolBar* m_toolBar = nullptr;
    QAction* m_autoLoginAction = nullptr;
    QAction* m_newsAction = nullptr;
    QPointer<QTabWidget> m_tabs;       // the central widget, holding both lists
    FilterBar* m_filterBar = nullptr;  // above the server list, in m_tabs
    QMenu* m_serverMenu = nullptr;     // a right click's menu over a server

    std::optional<ReceiveThread> m_receiver;
    std::unique_ptr<NewsCheckThread> m_news;
    bool m_shutDown = false;
};
