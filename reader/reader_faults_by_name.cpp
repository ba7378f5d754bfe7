// The fault tests' build of the program (and the test program): a reader
// crashes, stalls, allocates without end or decodes slowly on a path whose
// name says so.
#include "reader/reader_server.h"

ReaderFault FaultFor(const std::string& path) {
  if (path.find("crash-reader") != std::string::npos) return ReaderFault::Crash;
  if (path.find("stall-reader") != std::string::npos) return ReaderFault::Stall;
  if (path.find("balloon-reader") != std::string::npos) return ReaderFault::Balloon;
  if (path.find("slow-decode") != std::string::npos) return ReaderFault::SlowDecode;
  return ReaderFault::Healthy;
}
