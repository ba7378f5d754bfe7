#pragma once
// Scripted dialogs: each call takes the next queued answer ("cancelled" when
// none is left) and records what it was asked.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "options/dialog_services.h"

class FakeDialogServices final : public DialogServices {
 public:
  std::string InputBox(WindowHandle owner, const std::string& prompt, const std::string& title,
                       const std::string& default_text) override {
    inputs.push_back({owner, prompt, title, default_text});
    return Next(typed);
  }
  std::string BrowseFolder(WindowHandle owner, const std::string& title) override {
    pickers.push_back({owner, "", title, ""});
    return Next(picked);
  }
  std::int32_t PickColor(WindowHandle owner, std::int32_t initial, CustomColors& custom) override {
    colors_asked.push_back({owner, initial, custom});
    if (define_custom) custom[0] = *define_custom;
    if (colors.empty()) return kColorCancelled;
    std::int32_t answer = colors.front();
    colors.pop_front();
    return answer;
  }
  bool OpenLink(const std::string& target) override {
    links.push_back(target);
    return open_ok;
  }

  struct Asked {
    WindowHandle owner;
    std::string text, title, default_text;
  };
  struct ColorAsked {
    WindowHandle owner;
    std::int32_t initial;
    CustomColors custom;  // as passed in
  };
  // Answers.
  std::deque<std::string> typed, picked;
  std::deque<std::int32_t> colors;
  std::optional<std::int32_t> define_custom;  // the user defines custom colour 0 as this
  bool open_ok = true;
  // Questions.
  std::vector<Asked> inputs, pickers;
  std::vector<ColorAsked> colors_asked;
  std::vector<std::string> links;

 private:
  static std::string Next(std::deque<std::string>& answers) {
    if (answers.empty()) return "";
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
};
