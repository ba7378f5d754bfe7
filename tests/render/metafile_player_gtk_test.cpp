// The metafile player's child process is ended at its deadline: by the
// program, which then has no picture, and by the child's own timer, even
// when SIGALRM came to it ignored and blocked. A player that ends well
// counts even when SIGCHLD came to the program ignored.
#include "render/metafile_player_gtk.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "catalogue/test_files.h"
#include "render/bytes_file.h"

namespace {

constexpr char kStallVariable[] = "GLIMMORA_TEST_PLAYER_STALLS";

// Before any static constructor, so before the player starts: a child of
// these tests started with the variable set stalls for 3 s instead.
__attribute__((constructor(101))) void StallWhenAsked() {
  if (std::getenv(kStallVariable)) sleep(3), _exit(0);
}

// Whether the process ended within 3 s, killed by `signal`; killed by the test otherwise.
bool EndsBy(pid_t child, int signal) {
  int status = 0;
  for (int ms = 0; ms < 3000 && waitpid(child, &status, WNOHANG) == 0; ms += 10) usleep(10000);
  if (kill(child, SIGKILL) == 0) return waitpid(child, &status, 0), false;
  return WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

TEST(MetafilePlayerTest, AStalledPlayerIsEndedAtTheDeadline) {
  BytesFile wmf(test_files::Wmf(0x00FF00));
  setenv(kStallVariable, "1", 1);
  const auto start = std::chrono::steady_clock::now();
  GdkPixbuf* pixbuf = PlayMetafileAside(wmf, 100, 100, std::chrono::milliseconds(200));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  unsetenv(kStallVariable);
  EXPECT_EQ(pixbuf, nullptr);

  // The child alone, waiting for a metafile that never ends.
  int input[2];
  ASSERT_EQ(pipe(input), 0);
  const pid_t child = fork();
  if (child == 0) {
    sigset_t alarm_signal;
    sigemptyset(&alarm_signal), sigaddset(&alarm_signal, SIGALRM);
    signal(SIGALRM, SIG_IGN), sigprocmask(SIG_BLOCK, &alarm_signal, nullptr), dup2(input[0], 0);
    execl("/proc/self/exe", "player", "--glimmora-metafile-player", "100", "100", "200", nullptr);
    _exit(1);
  }
  EXPECT_TRUE(EndsBy(child, SIGALRM));
  close(input[0]), close(input[1]);
}

TEST(MetafilePlayerTest, APlayerIsJudgedWithSigchldIgnored) {
  BytesFile wmf(test_files::Wmf(0x00FF00));
  signal(SIGCHLD, SIG_IGN);
  GdkPixbuf* pixbuf = PlayMetafileAside(wmf, 100, 100);
  signal(SIGCHLD, SIG_DFL);
  EXPECT_NE(pixbuf, nullptr);
  if (pixbuf) g_object_unref(pixbuf);
}

}  // namespace
