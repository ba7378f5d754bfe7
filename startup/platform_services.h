#pragma once
// The real platform services of the build's platform, created by the entry
// point and kept for the life of the process.
#include <memory>

#include "reader/reader_connection.h"
#include "reader/reader_files.h"
#include "reader/share_watch.h"
#include "startup/program.h"

struct PlatformServices {
  PlatformServices();
  ~PlatformServices();
  PlatformServices(const PlatformServices&) = delete;
  PlatformServices& operator=(const PlatformServices&) = delete;

  // What the program runs on, viewed through these services.
  ProgramServices View();

  std::unique_ptr<EventLoop> loop;
  std::unique_ptr<SystemPort> system;
  std::unique_ptr<WindowSystem> windows;
  std::unique_ptr<RegistryStore> registry;
  std::unique_ptr<MonitorList> monitor_list;
  std::unique_ptr<GraphicsLibrary> graphics;
  // Users' folders and pictures are read in reader processes only: one for
  // the walk, one for pictures.
  ShareWatch shares;
  ReaderConnection walk_reader, picture_reader;
  ReaderFiles files;
  std::unique_ptr<PicturePreparer> preparer;
  std::unique_ptr<WorkQueue> walk_queue;
  std::unique_ptr<WorkQueue> picture_queue;
  std::unique_ptr<PowerPort> power;
  std::unique_ptr<DialogServices> dialogs;
};
