#pragma once
// Saver-window events that are only counted, for the platform window tests.
#include "saver/saver_window.h"

struct RecordingSaverEvents final : SaverWindowEvents {
  void Form_KeyDown(int, int) override { ++keys; }
  void picSaver_MouseDown(int, int, float, float) override {}
  void picSaver_MouseUp(int, int, float, float) override {}
  void picSaver_MouseMove(int, int, float, float) override {}
  void Form_QueryUnload(int&, int) override { ++query_unloads; }
  void Form_Unload(int&) override { ++unloads; }
  int keys = 0, query_unloads = 0, unloads = 0;
};
