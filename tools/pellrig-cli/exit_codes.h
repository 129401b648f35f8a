#pragma once

// pellrig-cli's exit codes; README.md lists which command returns which. Every
// failure prints its message on standard error first.
enum class ExitCode : int {
    Done = 0,
    SaveFailed = 1,       // pellrig32.cfg could not be saved
    Usage = 2,            // a bad option or address, a name or password too long, a text past Latin-1
    NoMaster = 3,         // no answer from the master server
    Refused = 4,          // the master said no, or a log-in found no master
    LaunchFailed = 5,     // the game could not be started
    NewsFailed = 6,       // the news check failed
    NoGameServer = 7,     // no answer from the game server
    FetchFailed = 8,      // a WAD could not be fetched, or there is no WAD directory to put it in
    VersionRefused = 10,  // the master refuses this version
    InternalError = 70,   // an exception reached main(): a fault of pellrig-cli
    // Never returned: the core's fatal error (-10) ends the process itself when
    // the local UDP port cannot be opened, its banner on standard output.
    PortUnavailable = 246,
};
