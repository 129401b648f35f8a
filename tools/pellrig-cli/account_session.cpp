#include "account_session.h"

#include "net/transport.h"

AccountSession::AccountSession(const std::string& masterHost, uint16_t localPort, ExchangeTimings timings)
    : m_network(NetConfig{localPort, ""}),
      m_dispatcher({m_serverList, m_playerList, m_messages}, nullptr),
      m_browser({m_serverList, m_playerList, m_messages}, {masterHost}),
      m_service({m_views, m_views, m_messages, m_views}, {masterHost, timings}, &m_dispatcher, &m_browser) {
    m_dispatcher.setAccountHandler(&m_service);
}

void AccountSession::startReceiving() {
    if (!m_receiver) {
        m_receiver.emplace(m_dispatcher);
    }
}

ExitCode loginExitCode(const LoginResult& result) {
    if (result.outcome == LoginOutcome::Accepted || result.outcome == LoginOutcome::AcceptedCompact) {
        return ExitCode::Done;
    }
    printCoreMessage(result.text);
    return result.outcome == LoginOutcome::VersionRefused ? ExitCode::VersionRefused : ExitCode::Refused;
}
