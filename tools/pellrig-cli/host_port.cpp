#include "host_port.h"

#include "error_output.h"

std::optional<HostPort> splitHostPort(const std::string& address) {
    const size_t colon = address.rfind(':');
    if (colon == std::string::npos) {
        printFailure("expected HOST:PORT, got " + address);
        return std::nullopt;
    }
    return HostPort{address.substr(0, colon), address.substr(colon + 1)};
}
