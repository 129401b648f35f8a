#include "shell/filter_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>
#include <string>

namespace {

// The game type list's entries after "Any game type", by ServerRecord game_type.
constexpr const char* kGameTypes[] = {"Deathmatch", "Teamplay", "Cooperative"};

QCheckBox* checkBox(const char* text, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

FilterBar::FilterBar(QWidget* parent)
    : QWidget(parent),
      m_text(new QLineEdit(this)),
      m_hideEmpty(checkBox("Hide empty", "hideEmpty", this)),
      m_hideFull(checkBox("Hide full", "hideFull", this)),
      m_hideSilent(checkBox("Hide silent", "hideSilent", this)),
      m_gameType(new QComboBox(this)) {
    setObjectName(QStringLiteral("filterBarWidget"));
    m_text->setObjectName(QStringLiteral("filterText"));
    m_text->setPlaceholderText(QStringLiteral("Server, map, game, WAD or player"));
    m_text->setClearButtonEnabled(true);
    m_gameType->setObjectName(QStringLiteral("gameType"));
    m_gameType->addItem(QStringLiteral("Any game type"));
    for (const char* type : kGameTypes) {
        m_gameType->addItem(QString::fromLatin1(type));
    }

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_text, 1);
    for (QWidget* control : {static_cast<QWidget*>(m_hideEmpty), static_cast<QWidget*>(m_hideFull),
                             static_cast<QWidget*>(m_hideSilent), static_cast<QWidget*>(m_gameType)}) {
        layout->addWidget(control);
    }

    connect(m_text, &QLineEdit::textChanged, this, &FilterBar::filterChanged);
    for (QCheckBox* box : {m_hideEmpty, m_hideFull, m_hideSilent}) {
        connect(box, &QCheckBox::toggled, this, &FilterBar::filterChanged);
    }
    connect(m_gameType, &QComboBox::currentIndexChanged, this, &FilterBar::filterChanged);
    connect(
        new QShortcut(QKeySequence(Qt::Key_Escape), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut),
        &QShortcut::activated, this, &FilterBar::clearAndClose);
}

ServerFilter FilterBar::filter() const {
    ServerFilter filter;
    const QString text = m_text->text();
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    // A byte no record holds, so that a text outside Latin-1 matches nothing.
    filter.text = latin1 ? text.toLatin1().toStdString() : std::string(1, '\0');
    filter.hideEmpty = m_hideEmpty->isChecked();
    filter.hideFull = m_hideFull->isChecked();
    filter.hideSilent = m_hideSilent->isChecked();
    filter.gameType = m_gameType->currentIndex() - 1;
    return filter;
}

QString FilterBar::text() const {
    return m_text->text();
}

void FilterBar::setFilter(const QString& text, const ServerFilter& filter) {
    const QSignalBlocker blockText(m_text);
    const QSignalBlocker blockEmpty(m_hideEmpty);
    const QSignalBlocker blockFull(m_hideFull);
    const QSignalBlocker blockSilent(m_hideSilent);
    const QSignalBlocker blockType(m_gameType);
    m_text->setText(text);
    m_hideEmpty->setChecked(filter.hideEmpty);
    m_hideFull->setChecked(filter.hideFull);
    m_hideSilent->setChecked(filter.hideSilent);
    const int type = filter.gameType + 1;
    m_gameType->setCurrentIndex(type >= 0 && type < m_gameType->count() ? type : 0);
}

void FilterBar::open() {
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

void FilterBar::clearAndClose() {
    setFilter({}, {});
    hide();
    emit filterChanged();
    emit closed();
}
