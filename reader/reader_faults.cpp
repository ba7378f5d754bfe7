// The program's readers never misbehave on purpose; the fault tests' build
// of the program links its own FaultFor in place of this one.
#include "reader/reader_server.h"

ReaderFault FaultFor(const std::string&) { return ReaderFault::Healthy; }
