#include "shell/application.h"

#include <utility>

Application::Application(ShellConfig config, MessageBoxes& boxes)
    : m_config(std::move(config)), m_boxes(boxes) {}

bool Application::start() {
    m_window = std::make_unique<MainWindow>(m_config, m_boxes);
    m_window->startUp();
    m_window->setWindowTitle(QString::fromLatin1(kProgramTitle));
    m_window->resize(900, 700);
    m_window->show();
    m_window->repaint();
    return true;
}
