#pragma once

#include <cstdint>

// Every message on the launcher's one socket starts with one of these codes as
// a long. The browsing and the account service share the socket, so their
// codes are kept in one table here, where each library that reads or writes
// messages can draw on it without reaching into another.

// Browsing: the master list request and reply, and the server info query,
// share one code; each game server answers with its own.
inline constexpr int32_t kMasterListCode = 777123;
inline constexpr int32_t kServerInfoReplyCode = 5560020;

// The account service: requests, and the answers a log-in waits for.
inline constexpr int32_t kAccountLoginRequestCode = 1337;
inline constexpr int32_t kAccountCreateRequestCode = 1338;
inline constexpr int32_t kAccountRefusedCode = 1339;
inline constexpr int32_t kAccountAcceptedCode = 1343;
inline constexpr int32_t kAccountAcceptedCompactCode = 1344;
inline constexpr int32_t kProfileBioUpdateCode = 1346;
inline constexpr int32_t kRecentPlayersRequestCode = 1348;
inline constexpr int32_t kPlayerLookupRequestCode = 1350;
inline constexpr int32_t kProfileAdminUpdateCode = 1353;
inline constexpr int32_t kAccountDeleteRequestCode = 1354;
inline constexpr int32_t kStatCollectionEnableCode = 1356;
inline constexpr int32_t kStatCollectionDisableCode = 1357;
inline constexpr int32_t kVersionRejectedCode = 1359;

// The account service's replies that can reach the receive thread at any time.
inline constexpr int32_t kProfileUpdatedCode = 1347;
inline constexpr int32_t kRecentPlayersReplyCode = 1349;
inline constexpr int32_t kPlayerProfileReplyCode = 1351;
inline constexpr int32_t kPlayerNotFoundCode = 1352;
inline constexpr int32_t kAccountDeletedCode = 1355;

constexpr bool isAccountReplyCode(int32_t code) {
    return code == kProfileUpdatedCode || code == kRecentPlayersReplyCode ||
           code == kPlayerProfileReplyCode || code == kPlayerNotFoundCode || code == kAccountDeletedCode;
}
