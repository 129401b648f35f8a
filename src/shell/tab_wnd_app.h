#pragma once

#include <memory>

#include "shell/main_frame.h"

// The application: brings the main frame up in its order and shows it.
class CTabWndApp {
  public:
    // `boxes` must outlive the application.
    CTabWndApp(ShellConfig config, MessageBoxes& boxes);

    // Creates the main frame (the network first, then the log-in gate and the
    // browser), titles it and shows it. Returns false when the program is to
    // end at once.
    bool InitInstance();

    CMainFrame* mainFrame() const { return m_frame.get(); }

  private:
    ShellConfig m_config;
    MessageBoxes& m_boxes;
    std::unique_ptr<CMainFrame> m_frame;
};
