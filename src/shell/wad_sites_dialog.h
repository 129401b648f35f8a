#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;

// "WAD Download Sites": the list of sites missing PWADs are fetched from, in
// the order they are tried. Each is an address in which {name} stands for the
// file name; a line is edited in place with a double click or F2.
class WadSitesDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit WadSitesDialog(const std::vector<std::string>& sites, QWidget* parent = nullptr);

    // The sites as the dialog was left: blank lines dropped, each trimmed.
    std::vector<std::string> sites() const;

  private:
    void addSite();
    void removeSite();
    void moveSite(int step);

    QListWidget* m_list;
};
