#pragma once
// Scripted dialogs: each call takes the next queued answer (cancelled when
// none is left) and records what it was asked.
#include <deque>
#include <string>
#include <vector>

#include "options/dialog_services.h"

class FakeDialogServices final : public DialogServices {
 public:
  std::string InputBox(WindowHandle owner, const std::string&, const std::string&, const std::string&) override {
    this->owner = owner;
    return Next(typed);
  }
  std::string BrowseFolder(WindowHandle owner, const std::string& title) override {
    pickers.push_back(title);
    this->owner = owner;
    return Next(picked);
  }
  std::int32_t PickColor(WindowHandle, std::int32_t initial, CustomColors& custom) override {
    colors_asked.push_back({initial, custom[0]});
    if (!colors.empty()) custom[0] = colors.front();  // each answer is defined as custom colour 0
    return colors.empty() ? kColorCancelled : Next(colors);
  }
  bool OpenLink(const std::string& target) override {
    links.push_back(target);
    return false;  // a failure the dialog must not report
  }

  std::deque<std::string> typed, picked;  // answers
  std::deque<std::int32_t> colors;
  std::vector<std::string> pickers;  // the picker titles asked
  WindowHandle owner = 0;            // of the last input box or picker
  std::vector<std::pair<std::int32_t, std::int32_t>> colors_asked;  // initial, custom colour 0
  std::vector<std::string> links;

  template <class T>
  static T Next(std::deque<T>& answers) {
    if (answers.empty()) return T{};
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
};
