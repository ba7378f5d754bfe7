// Reader processes against the real platform: the test program itself is
// started as the reader (role "probe") and answers the commands below, so
// the channel, shared blocks, deadlines, crashes and the sandbox are seen
// as the saver sees them.
#include "platform/reader_process.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Before main: started as a probe reader, the test program serves and ends.
[[noreturn]] void ServeProbe(ReaderChannel& channel) {
  for (std::string message; channel.Receive(message);) {
    const std::string command = message.substr(0, message.find(' '));
    const std::string argument = message.size() > command.size() ? message.substr(command.size() + 1) : "";
    if (command == "echo") {
      channel.Send(argument);
    } else if (command == "block") {  // a block of the given size, each byte its offset's low byte
      auto block = channel.CreateBlock(std::stoul(argument));
      if (!block) {
        channel.Send("no block");
        continue;
      }
      for (std::size_t i = 0; i < block->size(); ++i) block->data()[i] = static_cast<std::uint8_t>(i);
      channel.Send("block", block.get());
    } else if (command == "sandbox") {
      channel.Send(channel.EnterSandbox());
    } else if (command == "write") {  // creates a file at the path
      // The file is closed before the answer, so the test may remove it at once.
      const bool written = std::ofstream(argument).is_open();
      channel.Send(written ? "written" : "refused");
    } else if (command == "read") {
      const bool read = std::ifstream(argument).is_open();
      channel.Send(read ? "read" : "refused");
    } else if (command == "run") {               // starts another program
      const int status = std::system("exit 7");  // 7 where it ran (in a wait status on POSIX)
      channel.Send(status == 7 || status == 7 << 8 ? "ran" : "refused");
    } else if (command == "thread") {
      bool ran = false;
      std::thread([&] { ran = true; }).join();
      channel.Send(ran ? "thread ran" : "no thread");
    } else if (command == "hog") {  // megabytes it could take, touched, up to the argument
      std::vector<char*> taken;
      std::size_t megabytes = 0;
      for (; megabytes < std::stoul(argument); ++megabytes) {
        char* block = static_cast<char*>(std::malloc(1 << 20));
        if (!block) break;
        std::memset(block, 1, 1 << 20);
        taken.push_back(block);
      }
      for (char* block : taken) std::free(block);
      channel.Send(std::to_string(megabytes));
    } else if (command == "stall") {
      std::this_thread::sleep_for(1h);
    } else if (command == "crash") {
      std::abort();
    }
  }
  std::exit(0);
}

const bool probe_started = [] {
  if (auto channel = ReaderChannel::Open(ProgramArguments(), "probe")) ServeProbe(*channel);
  return false;
}();

struct Probe {
  std::unique_ptr<ReaderProcess> reader = ReaderProcess::Start({"probe", 64u << 20});

  // The reply to a command, "timed out" or "ended".
  std::string Ask(const std::string& command, std::chrono::milliseconds wait = 10s) {
    std::unique_ptr<SharedBlock> block;
    return Ask(command, block, wait);
  }
  std::string Ask(const std::string& command, std::unique_ptr<SharedBlock>& block,
                  std::chrono::milliseconds wait = 10s) {
    if (!reader->Send(command)) return "not sent";
    std::string reply;
    switch (reader->Receive(reply, block, wait)) {
      case ReaderProcess::Outcome::Message: return reply;
      case ReaderProcess::Outcome::TimedOut: return "timed out";
      default: return "ended";
    }
  }
};

TEST(ReaderProcess, StallsTimeOutAndCrashesEnd) {
  Probe stalled;
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_EQ(stalled.Ask("stall", 200ms), "timed out");
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);
  stalled.reader->Kill();
  EXPECT_EQ(stalled.Ask("echo after", 1s), "not sent");
  Probe crashed;
  EXPECT_EQ(crashed.Ask("crash"), "ended");
}

TEST(ReaderProcess, SandboxReadsButNeverWritesRunsOrOutgrowsItsLimit) {
  Probe probe;
  const std::filesystem::path here = std::filesystem::temp_directory_path() / "glimmora-reader-probe";
  std::filesystem::remove(here);
  EXPECT_EQ(probe.Ask("write " + here.string()), "written");  // before the sandbox
  const std::string report = probe.Ask("sandbox");
  std::printf("sandbox: %s\n", report.c_str());
  EXPECT_EQ(probe.Ask("read " + here.string()), "read");
  std::filesystem::remove(here);
  if (report.find("file writes not fenced") == std::string::npos) {
    EXPECT_EQ(probe.Ask("write " + here.string()), "refused");
    EXPECT_FALSE(std::filesystem::exists(here));
  }
  if (report.find("programs not fenced") == std::string::npos) {
    EXPECT_EQ(probe.Ask("run"), "refused");
  }
  EXPECT_EQ(probe.Ask("thread"), "thread ran");
  if (report.find("no memory limit") == std::string::npos) {
    const int megabytes = std::stoi(probe.Ask("hog 1024"));
    EXPECT_GT(megabytes, 16);
    EXPECT_LT(megabytes, 128);
  }
  EXPECT_EQ(probe.Ask("echo still here"), "still here");
}

TEST(ReaderChannel, TheSwitchTypedByHandOpensNothing) {
  EXPECT_FALSE(ReaderChannel::Open({"glimmora", kReaderSwitch, "reader", "1", "1000"}, "reader"));
  EXPECT_FALSE(ReaderChannel::Open({"glimmora", kReaderSwitch}, "reader"));
}

#ifndef _WIN32
// A reader whose saver ended before it started ends at once, quietly: it
// never goes on as a program of its own (with a message box for the switch).
TEST(ReaderChannel, AReaderOrphanedBeforeItStartsEnds) {
  EXPECT_EXIT(
      {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_SEQPACKET, 0, pair) != 0 || dup2(pair[1], 3) != 3) std::exit(2);
        ReaderChannel::Open({"glimmora", kReaderSwitch, "reader", std::to_string(getpid()), "1000"}, "reader");
        std::exit(1);
      },
      ::testing::ExitedWithCode(0), "");
}
#endif

#ifdef _WIN32
TEST(ReaderChannel, CommandLinesSplitAsTheSystemSplitsThem) {
  for (const wchar_t* line :
       {L"\"C:\\a b\\g.scr\" --glimmora-reader reader 12 34 56", L"g.scr  a\\\\\"b c\" d\\e \\\\\\\"f\t\"\"",
        L"\"g\"x \"a\"\"b\" \"c\"\"\"d\" e\\\\ \"f\\\\\"", L"g\\\"h\\ \"\"\" \\\"\\\\\\\"x\" y"}) {
    int count = 0;
    wchar_t** split = CommandLineToArgvW(line, &count);
    std::vector<std::string> expected;
    for (int i = 0; i < count; ++i) expected.push_back(std::filesystem::path(split[i]).string());
    LocalFree(split);
    EXPECT_EQ(SplitCommandLine(line), expected) << std::filesystem::path(line).string();
  }
}
#endif

}  // namespace
