#pragma once
// The folder walk behind the scan timer: one queued folder at a time, its
// subfolders appended to the queue, its admitted pictures to PictureList.
#include <cstdint>
#include <string>
#include <vector>

struct ProgramState;

// Walks the queued folder at 1-based position (not changed). Every error is
// swallowed: a folder that cannot be listed, an entry whose attributes cannot
// be read, a shortcut that cannot be resolved just contribute nothing. Yields
// every 30 entries; a stop request seen there unloads T and returns.
void ScanFolder(ProgramState& state, std::int32_t position);

// The target of the shortcut folder & name, or "" when it cannot be resolved.
std::string ResolveShortcut(ProgramState& state, const std::string& folder, const std::string& name);

// How a walk of the queue ended.
enum class ScanEnd {
  kDone,        // every queued folder was walked: ScanDone is set
  kStopped,     // StopScan was seen at a yield
  kSuperseded,  // a newer catalogue start (or the end of T) replaced this walk during a yield
};
// Walks the queue from its first folder, yielding after each folder, until it
// is exhausted or a stop is requested (the scan timer event's loop).
ScanEnd ScanQueue(ProgramState& state);

// Appends to a growable list at position count: grows it, contents kept, to
// count + 101 slots whenever it has no slot past count.
void AppendGrowing(std::vector<std::string>& list, std::int32_t& count, std::string entry);
// Queues a folder unless the same path was queued before in this run.
bool QueueFolder(ProgramState& state, std::string folder);
// True when the last four characters, lower-cased, are a picture extension.
bool IsPictureName(const std::string& name);
