#include "browser/server_launch_target.h"

#include <algorithm>

LaunchTarget launchTargetOf(const ServerRecord& record) {
    LaunchTarget target;
    target.address = recordText(record.address);
    target.iwad = recordText(record.iwad);
    target.withPwads = record.has_pwads > 0;
    if (target.withPwads) {
        const int32_t count = std::clamp(record.num_pwads, 0, kMaxPwads);
        for (int32_t i = 0; i < count; ++i) {
            target.pwads.emplace_back(recordText(record.pwads[i]));
        }
    }
    return target;
}
