#include "shell/tab_wnd_app.h"

#include <utility>

CTabWndApp::CTabWndApp(ShellConfig config, MessageBoxes& boxes)
    : m_config(std::move(config)), m_boxes(boxes) {}

bool CTabWndApp::InitInstance() {
    m_frame = std::make_unique<CMainFrame>(m_config, m_boxes);
    m_frame->OnCreate();
    m_frame->setWindowTitle(QString::fromLatin1(kProgramTitle));
    m_frame->resize(900, 700);
    m_frame->show();
    m_frame->repaint();
    return true;
}
