#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "launch/wad_fetch.h"

class QLabel;
class QProgressBar;

// Fetches missing PWADs on a worker thread while it shows which file, how much
// of it and how fast, with Cancel. Opening it starts the fetch; it closes by
// itself when the fetch ends, accepted once every file is in place.
class WadDownloadDialog final : public QDialog {
    Q_OBJECT

  public:
    WadDownloadDialog(std::vector<std::string> names, std::vector<std::string> sites,
                      std::filesystem::path folder, QWidget* parent = nullptr, WadFetchLimits limits = {});
    ~WadDownloadDialog() override;
    WadDownloadDialog(const WadDownloadDialog&) = delete;
    WadDownloadDialog& operator=(const WadDownloadDialog&) = delete;

    // How the fetch ended; meaningful once the dialog has closed.
    const WadFetchResult& result() const { return m_result; }

    // Cancel: stops the fetch; the dialog closes once the worker has ended.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void showProgress(const WadFetchProgress& progress);
    void finish(const WadFetchResult& result);

    std::vector<std::string> m_names;
    std::vector<std::string> m_sites;
    std::filesystem::path m_folder;
    WadFetchLimits m_limits;
    WadFetchResult m_result{WadFetchResult::Status::Cancelled, {}, {}};
    QLabel* m_file;
    QLabel* m_bytes;
    QProgressBar* m_bar;
    QElapsedTimer m_sinceShown;  // worker thread: when progress was last handed over
    std::jthread m_worker;       // last: stopped and joined before the rest goes
};
