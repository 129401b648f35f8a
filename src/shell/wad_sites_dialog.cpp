#include "shell/wad_sites_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr char kExampleSite[] = "https://wads.example.org/files/{name}";

QListWidgetItem* editableItem(const QString& text) {
    auto* item = new QListWidgetItem(text);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

}  // namespace

WadSitesDialog::WadSitesDialog(const std::vector<std::string>& sites, QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("WAD Download Sites"));
    setObjectName(QStringLiteral("wadSitesDialog"));
    auto* explanation = new QLabel(
        QStringLiteral("When a server needs PWADs you do not have, they can be fetched from these sites, "
                       "tried from the top. {name} stands for the file name, e.g. %1")
            .arg(QString::fromLatin1(kExampleSite)),
        this);
    explanation->setWordWrap(true);
    for (const std::string& site : sites) {
        m_list->addItem(editableItem(QString::fromStdString(site)));
    }
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);

    auto* add = new QPushButton(QStringLiteral("&Add"), this);
    auto* remove = new QPushButton(QStringLiteral("&Remove"), this);
    auto* up = new QPushButton(QStringLiteral("&Up"), this);
    auto* down = new QPushButton(QStringLiteral("&Down"), this);
    connect(add, &QPushButton::clicked, this, &WadSitesDialog::addSite);
    connect(remove, &QPushButton::clicked, this, &WadSitesDialog::removeSite);
    connect(up, &QPushButton::clicked, this, [this] { moveSite(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSite(1); });
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {add, remove, up, down}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(buttons);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(row);
    layout->addWidget(box);
    resize(520, 280);
}

std::vector<std::string> WadSitesDialog::sites() const {
    std::vector<std::string> sites;
    for (int i = 0; i < m_list->count(); ++i) {
        const QString site = m_list->item(i)->text().trimmed();
        if (!site.isEmpty()) {
            sites.push_back(site.toStdString());
        }
    }
    return sites;
}

void WadSitesDialog::addSite() {
    QListWidgetItem* item = editableItem(QString::fromLatin1(kExampleSite));
    m_list->addItem(item);
    m_list->setCurrentItem(item);
    m_list->editItem(item);
}

void WadSitesDialog::removeSite() {
    delete m_list->takeItem(m_list->currentRow());
}

void WadSitesDialog::moveSite(int step) {
    const int row = m_list->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= m_list->count()) {
        return;
    }
    QListWidgetItem* item = m_list->takeItem(row);
    m_list->insertItem(to, item);
    m_list->setCurrentItem(item);
}
