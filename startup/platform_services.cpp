#include "startup/platform_services.h"

#include "catalogue/file_system.h"
#include "options/dialog_services.h"
#include "platform/event_loop.h"
#include "platform/system.h"
#include "platform/work_queue.h"
#include "decode/picture_probe.h"
#include "reader/reader_preparer.h"
#include "saver/power.h"
#include "startup/picture_budget.h"

namespace {
// How long a reader may say nothing before it is taken for stuck (on a dead
// share): longer than any healthy read, short against a dead share's
// minutes. A decode under way says it goes on now and then.
constexpr std::chrono::milliseconds kWalkPatience{2000};
constexpr std::chrono::milliseconds kPicturePatience{3000};
// The queues' threads wait on readers, which answer within their patience:
// a queue never needs to leave one behind.
constexpr std::chrono::hours kQueuePatience{24};
// What a reader may map besides the program: the walk reads headers only; a
// picture reader decodes within the decode budget.
constexpr std::size_t kWalkReaderBytes = 64u << 20;
const std::size_t kPictureReaderBytes = kDecodeBudgetBytes + (48u << 20);
}  // namespace

PlatformServices::PlatformServices()
    : loop(CreatePlatformEventLoop()),
      system(CreatePlatformSystem()),
      windows(CreatePlatformWindowSystem()),
      registry(CreatePlatformRegistry()),
      monitor_list(CreatePlatformMonitorList()),
      graphics(CreatePlatformGraphics()),
      shares(PlatformShareOf),
      walk_reader(ProgramReaders(kWalkReaderBytes), kWalkPatience),
      picture_reader(ProgramReaders(kPictureReaderBytes), kPicturePatience),
      files(walk_reader, shares),
      preparer(std::make_unique<ReaderPreparer>(picture_reader, shares)),
      walk_queue(CreateThreadWorkQueue(kQueuePatience)),
      picture_queue(CreateThreadWorkQueue(kQueuePatience)),
      power(CreatePlatformPower()),
      dialogs(CreatePlatformDialogServices()) {
  walk_reader.StartEarly();
  picture_reader.StartEarly();
}

PlatformServices::~PlatformServices() = default;

ProgramServices PlatformServices::View() {
  return ProgramServices{*loop,
                         *system,
                         *windows,
                         *registry,
                         *monitor_list,
                         *graphics,
                         files,
                         files,
                         *preparer,
                         *walk_queue,
                         *picture_queue,
                         *power,
                         *dialogs,
                         PlatformPathStyle(),
                         CreatePlatformHiddenWindow,
                         CreatePlatformSaverWindow,
                         CreatePlatformOptionsWindow,
                         PlatformPictureBudget()};
}
