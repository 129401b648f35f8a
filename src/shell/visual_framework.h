#pragma once

#include <QPointer>
#include <QSplitter>
#include <QTabWidget>

// The main window's client area: one tab, "Server Browser", holding a splitter
// with the server list above (400 high at start) and the player list below
// (200 high), both as wide as the window. Built in one step and torn down in
// one step.
class TVisualFramework {
  public:
    // Puts `upper` and `lower` into the new layout under `parent`; returns the
    // tab window, for the caller to make its central widget.
    QTabWidget* create(QWidget* parent, QWidget& upper, QWidget& lower);
    // Destroys the tab window with its splitter and panes.
    void destroy();

    QSplitter* splitter() const { return m_splitter; }

  private:
    QPointer<QTabWidget> m_tabs;
    QPointer<QSplitter> m_splitter;
};
