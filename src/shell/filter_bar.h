#pragma once

#include <QWidget>

#include "browser/server_filter.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

// The bar above the server list that narrows it: a text found in names, maps,
// games, WADs and players, three check boxes and a game type. Escape anywhere
// in it clears it and hides it. UI thread only.
class FilterBar final : public QWidget {
    Q_OBJECT

  public:
    explicit FilterBar(QWidget* parent = nullptr);

    // What the controls ask. A typed character outside Latin-1 matches nothing.
    ServerFilter filter() const;
    // The text as typed, for saving.
    QString text() const;
    // Sets the controls without sending filterChanged.
    void setFilter(const QString& text, const ServerFilter& filter);

    // Shows the bar and puts the focus in its text box.
    void open();

  signals:
    // The user changed a control, or Escape cleared the bar.
    void filterChanged();
    // Escape hid the bar.
    void closed();

  private:
    void clearAndClose();

    QLineEdit* m_text;
    QCheckBox* m_hideEmpty;
    QCheckBox* m_hideFull;
    QCheckBox* m_hideSilent;
    QComboBox* m_gameType;
};
