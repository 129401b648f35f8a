#include "account_session.h"

#include <utility>

#include "net/transport.h"

void EchoingMessageSink::showMessage(std::string text, std::string caption) {
    m_stderr.showMessage(text, caption);
    m_keep.showMessage(std::move(text), std::move(caption));
}

AccountSession::AccountSession(const std::string& masterHost, uint16_t localPort, ExchangeTimings timings)
    : m_network(localPort),
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
