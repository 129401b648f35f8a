// pellrig: the Brumvek game browser and launcher.

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "shell/about_dialog.h"
#include "shell/application.h"
#include "shell/message_boxes.h"
#include "shell/parent_console.h"

namespace {

// Reads the options; false (after a message) when they are wrong.
bool readOptions(const QApplication& app, ShellConfig& config) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Brumvek game browser and launcher."));
    parser.addHelpOption();
    const QCommandLineOption master(QStringLiteral("master"), QStringLiteral("The master server."),
                                    QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption news(QStringLiteral("news"), QStringLiteral("The news server."),
                                  QStringLiteral("HOST[:PORT]"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Local UDP port instead of 11000, for tests; 0 takes any."),
                                  QStringLiteral("PORT"));
    parser.addOptions({master, news, port});
    parser.process(app);
    if (parser.isSet(master)) {
        config.masterHost = parser.value(master).toStdString();
    }
    if (parser.isSet(news)) {
        config.newsHost = parser.value(news).toStdString();
    }
    if (parser.isSet(port)) {
        bool ok = false;
        const uint value = parser.value(port).toUInt(&ok);
        if (!ok || value > 65535) {
            std::fprintf(stderr, "pellrig: --port takes a number from 0 to 65535\n");
            return false;
        }
        config.net.port = static_cast<uint16_t>(value);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    useParentConsole();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumvek"));
    QApplication::setWindowIcon(applicationIcon());
    ShellConfig config;
    if (!readOptions(app, config)) {
        return 2;
    }
    QtMessageBoxes boxes;
    Application program(config, boxes);
    if (!program.start()) {
        return 1;
    }
    return QApplication::exec();
}
