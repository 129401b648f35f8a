#include "browser/favourites.h"

#include <algorithm>

void Favourites::set(const std::vector<std::string>& addresses) {
    const std::scoped_lock lock(m_mutex);
    m_addresses.clear();
    for (const std::string& address : addresses) {
        if (std::find(m_addresses.begin(), m_addresses.end(), address) == m_addresses.end()) {
            m_addresses.push_back(address);
        }
    }
}

std::vector<std::string> Favourites::addresses() const {
    const std::scoped_lock lock(m_mutex);
    return m_addresses;
}

bool Favourites::contains(std::string_view address) const {
    const std::scoped_lock lock(m_mutex);
    return std::find(m_addresses.begin(), m_addresses.end(), address) != m_addresses.end();
}

bool Favourites::add(std::string_view address) {
    const std::scoped_lock lock(m_mutex);
    if (std::find(m_addresses.begin(), m_addresses.end(), address) != m_addresses.end()) {
        return false;
    }
    m_addresses.emplace_back(address);
    return true;
}

bool Favourites::remove(std::string_view address) {
    const std::scoped_lock lock(m_mutex);
    const auto found = std::find(m_addresses.begin(), m_addresses.end(), address);
    if (found == m_addresses.end()) {
        return false;
    }
    m_addresses.erase(found);
    return true;
}
