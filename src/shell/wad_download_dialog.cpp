#include "shell/wad_download_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace {

// Progress reaches the window at most this often, so a fast transfer does not
// flood the event queue.
constexpr qint64 kProgressIntervalMs = 50;

QString kilobytes(double bytes) {
    return QString::number(bytes / 1024.0, 'f', 0) + QStringLiteral(" KB");
}

}  // namespace

WadDownloadDialog::WadDownloadDialog(std::vector<std::string> names, std::vector<std::string> sites,
                                     std::filesystem::path folder, QWidget* parent, WadFetchLimits limits)
    : QDialog(parent),
      m_names(std::move(names)),
      m_sites(std::move(sites)),
      m_folder(std::move(folder)),
      m_limits(limits),
      m_file(new QLabel(this)),
      m_bytes(new QLabel(this)),
      m_bar(new QProgressBar(this)) {
    setWindowTitle(QStringLiteral("Downloading WADs"));
    setObjectName(QStringLiteral("wadDownloadDialog"));
    m_bar->setRange(0, 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &WadDownloadDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_file);
    layout->addWidget(m_bar);
    layout->addWidget(m_bytes);
    layout->addWidget(buttons);
    m_file->setText(QStringLiteral("Connecting..."));
    resize(std::max(420, sizeHint().width()), sizeHint().height());
}

WadDownloadDialog::~WadDownloadDialog() {
    m_worker.request_stop();
}

void WadDownloadDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_worker.joinable()) {
        return;
    }
    m_worker = std::jthread([this](const std::stop_token& stop) {
        m_sinceShown.start();
        const auto progress = [this](const WadFetchProgress& p) {
            if (m_sinceShown.elapsed() < kProgressIntervalMs && p.bytes != p.total) {
                return;
            }
            m_sinceShown.restart();
            QMetaObject::invokeMethod(
                this, [this, p] { showProgress(p); }, Qt::QueuedConnection);
        };
        const WadFetchResult result = fetchWads(m_names, m_sites, m_folder, m_limits, progress, stop);
        QMetaObject::invokeMethod(
            this, [this, result] { finish(result); }, Qt::QueuedConnection);
    });
}

void WadDownloadDialog::reject() {
    // The worker ends soon after and closes the dialog through finish().
    m_worker.request_stop();
    m_file->setText(QStringLiteral("Cancelling..."));
    if (!m_worker.joinable()) {
        QDialog::reject();
    }
}

void WadDownloadDialog::showProgress(const WadFetchProgress& progress) {
    m_file->setText(QStringLiteral("%1 (file %2 of %3)")
                        .arg(QString::fromLatin1(progress.name.c_str()))
                        .arg(progress.file)
                        .arg(progress.files));
    if (progress.total > 0) {
        m_bar->setRange(0, 1000);
        m_bar->setValue(static_cast<int>(1000.0 * static_cast<double>(progress.bytes) /
                                         static_cast<double>(progress.total)));
    }
    QString bytes = kilobytes(static_cast<double>(progress.bytes));
    if (progress.total > 0) {
        bytes += QStringLiteral(" of ") + kilobytes(static_cast<double>(progress.total));
    }
    m_bytes->setText(bytes + QStringLiteral(", ") + kilobytes(progress.bytesPerSecond) +
                     QStringLiteral("/s"));
}

void WadDownloadDialog::finish(const WadFetchResult& result) {
    m_result = result;
    m_worker.join();
    if (result.status == WadFetchResult::Status::Fetched) {
        accept();
    } else {
        QDialog::reject();
    }
}
