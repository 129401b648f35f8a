#pragma once

#include <memory>

#include "shell/main_window.h"

// The application: brings the main window up in its order and shows it.
class Application {
  public:
    // `boxes` must outlive the application.
    Application(ShellConfig config, MessageBoxes& boxes);

    // Creates the main window (the network first, then the log-in gate and the
    // browser), titles it and shows it. Returns false when the program is to
    // end at once.
    bool start();

    MainWindow* mainWindow() const { return m_window.get(); }

  private:
    ShellConfig m_config;
    MessageBoxes& m_boxes;
    std::unique_ptr<MainWindow> m_window;
};
