#pragma once
// The reader process: it locks itself into its sandbox, then answers the
// saver's calls one at a time until the saver goes, reading users' folders
// and pictures as the saver's ports would have read them.
#include <string>

class ReaderChannel;

// Serves the saver over the channel; returns when the saver is gone.
void ServeReader(ReaderChannel& channel);

// When this process was started as the program's reader, serves and ends
// here; otherwise returns at once (the switch typed by hand is an unknown
// switch like any other).
// `prepare` runs first (what the platform sets up in a reader).
void RunAsReaderIfStartedAsOne(void (*prepare)() = nullptr);

// What a reader built for the fault tests does on a path: nothing in the
// program itself.
enum class ReaderFault { Healthy, Crash, Stall, Balloon, SlowDecode };
ReaderFault FaultFor(const std::string& path);
