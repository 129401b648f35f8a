// pellrig-cli: the launcher's core from the command line.
#include <exception>
#include <string>

#include "commands.h"
#include "error_output.h"

namespace {

ExitCode run(int argc, char** argv) {
    CLI::App app{"pellrig-cli: browse Brumvek servers from the command line"};
    app.require_subcommand(1);
    std::vector<Command> commands;
    addBrowseCommands(app, commands);
    addAccountCommands(app, commands);
    addLaunchCommands(app, commands);
    addJoinCommand(app, commands);
    addNewsCommand(app, commands);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? ExitCode::Done : ExitCode::Usage;
    }
    for (const Command& command : commands) {
        if (command.subcommand->parsed()) {
            return command.run();
        }
    }
    return ExitCode::Usage;
}

}  // namespace

int main(int argc, char** argv) {
    // The expected failures are return values; whatever else is thrown is a
    // fault, reported with its own code rather than as an abort.
    try {
        return static_cast<int>(run(argc, argv));
    } catch (const std::exception& exception) {
        printFailure(std::string("internal error: ") + exception.what());
    } catch (...) {
        printFailure("internal error");
    }
    return static_cast<int>(ExitCode::InternalError);
}
