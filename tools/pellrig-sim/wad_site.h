#pragma once

#include <filesystem>
#include <string>

#include "net/tcp_socket.h"

// A folder of WADs (and zips of them) served over the simulator's HTTP port,
// for the WAD download and its tests:
//   GET /wads/NAME                the file NAME of the folder (a plain name only)
//   GET /faulty/truncated/NAME    announces the file's length, sends half, closes
//   GET /faulty/too-large/NAME    announces 1 GiB and sends zeros until the client stops
//   GET /faulty/endless/NAME      sends zeros without announcing a length
//   GET /faulty/not-a-wad/NAME    a page of HTML
//   GET /faulty/redirect-loop/NAME  redirects to itself
//   GET /faulty/redirect-ftp/NAME   redirects to an ftp:// address
//   GET /faulty/slow/NAME         the file a byte every 200 ms
//   GET /faulty/trickle/NAME      the file 2 KB every 100 ms: slow, but steady
class WadSite {
  public:
    explicit WadSite(std::filesystem::path folder);

    // Answers `path` on `connection`; false, writing nothing, for a path that
    // is not the site's.
    bool answer(const std::string& path, TcpSocket& connection) const;

  private:
    std::filesystem::path m_folder;
};

// Writes all of `bytes`; false once the peer has gone or stalls.
bool writeAll(TcpSocket& connection, std::string_view bytes);
