// pellrig-cli: the launcher's network core from the command line.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "net/huffman.h"
#include "net/socket.h"
#include "net/transport.h"

namespace {

void printBytes(const char* label, const uint8_t* bytes, size_t size) {
    std::printf("%s (%zu bytes):", label, size);
    for (size_t i = 0; i < size; ++i) {
        std::printf(" %02X", bytes[i]);
    }
    std::printf("\n");
}

// Sends a master list request from the launcher's socket to a listener of
// our own on loopback and shows the datagram as it travelled.
int masterRequest(uint16_t localPort) {
    UdpSocket listener;
    NetAddress listenerAddress;
    NET_StringToAdr("127.0.0.1:0", listenerAddress);
    if (!listener.open() || !listener.bind(listenerAddress) || !listener.localAddress(listenerAddress)) {
        std::fprintf(stderr, "pellrig-cli: cannot open a loopback listener\n");
        return 1;
    }
    NET_Init({localPort, "127.0.0.1"});
    {
        const auto lock = NET_LockOutMessage();
        SZ_Clear(net_outmessage);
        MSG_WriteLong(net_outmessage, 777123);
        MSG_WriteByte(net_outmessage, 104);
        printBytes("master list request", net_outmessage.data.get(),
                   static_cast<size_t>(net_outmessage.cursize));
        NET_SendPacket(net_outmessage, listenerAddress);
    }
    std::vector<uint8_t> packet(65536);
    NetAddress from;
    const ReceiveResult received =
        listener.waitReadable(2000) == 1 ? listener.receiveFrom(packet, from) : ReceiveResult{};
    NET_Shutdown();
    if (received.status != ReceiveStatus::Received) {
        std::fprintf(stderr, "pellrig-cli: the listener received nothing\n");
        return 1;
    }
    std::printf("sent from %s to %s\n", NET_AdrToString(from).c_str(),
                NET_AdrToString(listenerAddress).c_str());
    printBytes("coded datagram", packet.data(), static_cast<size_t>(received.length));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"pellrig-cli: browse Brumvek servers from the command line"};
    app.require_subcommand(1);
    uint16_t localPort = 0;
    CLI::App* request = app.add_subcommand("master-request", "Show the coded master list request");
    request->add_option("--local-port", localPort, "Local UDP port (0 = any free port)");
    CLI11_PARSE(app, argc, argv);
    return masterRequest(localPort);
}
