#include "shell/visual_framework.h"

#include <QSplitter>
#include <QTabWidget>

QTabWidget* TVisualFramework::create(QWidget* parent, QWidget& upper, QWidget& lower) {
    m_tabs = new QTabWidget(parent);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    m_tabs->setDocumentMode(true);
    m_splitter = new QSplitter(Qt::Vertical);
    m_splitter->setChildrenCollapsible(false);
    upper.resize(200, 400);
    lower.resize(200, 200);
    m_splitter->addWidget(&upper);
    m_splitter->addWidget(&lower);
    m_splitter->setSizes({400, 200});
    m_splitter->setStretchFactor(0, 2);
    m_splitter->setStretchFactor(1, 1);
    m_tabs->addTab(m_splitter, QStringLiteral("Server Browser"));
    return m_tabs;
}

void TVisualFramework::destroy() {
    delete m_tabs;
}
