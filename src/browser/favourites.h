#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The servers the player keeps, by address ("a.b.c.d:port"), in the player's
// order. After each master list they are listed first, and those the master
// did not list are queried too. Thread-safe.
class Favourites {
  public:
    // Replaces the list; a repeated address is kept once, at its first place.
    void set(const std::vector<std::string>& addresses);
    std::vector<std::string> addresses() const;
    bool contains(std::string_view address) const;
    // Adds at the end; false when it was already there.
    bool add(std::string_view address);
    // False when it was not there.
    bool remove(std::string_view address);

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_addresses;
};
