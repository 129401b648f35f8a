#include "shell/wad_download_offer.h"

#include <optional>

#include "launch/wad_fetch.h"
#include "shell/message_boxes.h"
#include "shell/wad_download_dialog.h"

namespace {

// The question, for the files named (Latin-1, as the server sent them).
std::string missingFilesQuestion(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    return "These files are missing: " + list + "\nDownload them from your WAD sites?";
}

}  // namespace

bool offerWadDownload(const LaunchTarget& server, const std::vector<std::string>& sites, MessageBoxes& boxes,
                      QWidget* parent) {
    if (sites.empty()) {
        return true;
    }
    const std::vector<std::string> missing = pwadsToFetch(server);
    const std::optional<std::filesystem::path> folder = wadFetchFolder();
    if (missing.empty() || !folder) {
        return true;
    }
    if (!boxes.confirm(missingFilesQuestion(missing), kApplicationTitle)) {
        return true;
    }
    WadDownloadDialog download(missing, sites, *folder, parent);
    download.exec();
    const WadFetchResult& result = download.result();
    if (result.status == WadFetchResult::Status::Failed) {
        boxes.showMessage({wadFetchFailureText(result), "", MessageIcon::Exclamation});
    }
    return result.status == WadFetchResult::Status::Fetched;
}
