// The option controls, the Info panel with its live preview, colours and link,
// and where Alt + a label's letter moves the focus.
#include <functional>
#include <set>

#include "options/control_ids.h"
#include "options_fixture.h"
#include "sequence/show_keys.h"

namespace {

struct OptionsControlsTest : OptionsTest {
  void OpenWithPanel() {
    Open().OnClick(C::InfoToggle);
    preview->calls.clear();
    preview->timer_running = true;
  }
};

// In order on one dialog: each change writes its field; the preview restarts
// only while it shows, and only when a value really changes.
TEST_F(OptionsControlsTest, EachControlWritesItsFieldAndRefreshesThePreviewOnlyWhileShown) {
  const SaverSettings& c = settings;
  const Lines kScan = {"StartCatalogue", "StartSlideTimer"}, kTimer = {"StartSlideTimer"};
  struct Case { std::function<void(OptionsDialog&)> change; std::function<bool()> stored; Lines calls; };
  const std::vector<Case> cases = {
      {[](auto& d) { d.OnSelect(C::IntervalCombo, 55); }, [&] { return c.interval_ms == 60000; }, kTimer},
      {[](auto& d) { d.OnSelect(C::IntervalCombo, 99); }, [&] { return c.interval_ms == 60000; }, {}},  // no such item
      {[](auto& d) { d.OnCheck(C::RandomCheck, false); }, [&] { return !c.random_order; }, kScan},
      {[](auto& d) { d.OnSelect(C::SizeFilterCombo, 4); }, [&] { return c.size_filter == SizeFilter::Min1024x768; }, kScan},
      {[](auto& d) { d.OnSelect(C::AspectFilterCombo, 1); }, [&] { return c.aspect_filter == AspectFilter::Narrow; }, kScan},
      {[](auto& d) { d.OnSelect(C::ScaleModeCombo, 2); }, [&] { return c.scale_mode == ScaleMode::Stretch; }, kTimer},
      {[](auto& d) { d.OnSelect(C::ScaleModeCombo, 2); }, [&] { return c.scale_mode == ScaleMode::Stretch; }, {}},  // the same again
      {[](auto& d) { d.OnCheck(C::ResolutionCheck, true); }, [&] { return c.caption_shows_size; }, kTimer},
      {[](auto& d) { d.OnSelect(C::CaptionCombo, 1); }, [&] { return c.caption == CaptionPosition::Top && c.caption_shows_size; }, kTimer},
      {[](auto& d) { d.OnSelect(C::CaptionCombo, 0); }, [&] { return c.caption == CaptionPosition::Off && !c.caption_shows_size; },
       {"StartSlideTimer", "StartSlideTimer"}},
      {[](auto& d) { d.OnCheck(C::ResolutionCheck, true); }, [&] { return !c.caption_shows_size; }, {}},  // locked
      {[](auto& d) { d.OnCheck(C::SubfoldersCheck, true); }, [&] { return c.include_subfolders; }, {"StartCatalogue"}},
      {[](auto& d) { d.OnClick(C::PickBorderColour); }, [&] { return c.caption_border_colour == 0xFF; }, kTimer},
      {[](auto& d) { d.OnClick(C::PickTextColour); }, [&] { return c.caption_text_colour == 0xFFFFFF; }, {}},  // cancelled
  };
  for (bool shown : {true, false}) {
    settings = MakeDefaultSettings();
    settings.include_subfolders = false;
    shown ? OpenWithPanel() : (void)Open();
    fakes.dialogs.colors = {0x7F0000FF};  // the high byte is no colour
    for (std::size_t i = 0; i < cases.size(); ++i) {
      preview->calls.clear();
      cases[i].change(*dialog);
      EXPECT_TRUE(cases[i].stored()) << "case " << i;
      EXPECT_EQ(preview->calls, shown ? cases[i].calls : Lines{}) << "case " << i;
    }
  }
  EXPECT_EQ(Ctl(C::BorderColourSwatch).color, 0xFF);
  using Asked = std::pair<std::int32_t, std::int32_t>;  // initial colour, custom colour 0 (kept by the dialog)
  EXPECT_EQ(fakes.dialogs.colors_asked[0], (Asked{0x000000, 0}));
  EXPECT_EQ(fakes.dialogs.colors_asked[1], (Asked{0xFFFFFF, 0x7F0000FF}));
}

TEST_F(OptionsControlsTest, InfoPanelWidensTheWindowStartsThePreviewAndOpensTheLink) {
  Open().OnDoubleClick(C::AboutLink);  // ignored while the panel is hidden
  dialog->OnSelect(C::TransitionCombo, 3);  // the show's style is edited beside its preview only
  dialog->OnClick(C::InfoToggle);
  dialog->OnDoubleClick(C::AboutLink);
  dialog->OnSelect(C::CaptionTextCombo, 1), dialog->OnCheck(C::BackdropCheck, true);
  EXPECT_EQ(std::tuple(settings.transition_ms, settings.caption_text, settings.backdrop),
            std::tuple(std::uint16_t{0}, CaptionText::FileName, Backdrop::Soft));
  EXPECT_EQ(fakes.dialogs.links, Lines{identity.about_link});
  EXPECT_TRUE(fakes.system.boxes.empty()) << "a link that fails to open is not reported";
  EXPECT_TRUE(dialog->PreviewShown());
  const int wide = window->client_width;
  dialog->OnClick(C::InfoToggle);
  EXPECT_FALSE(dialog->PreviewShown());
  EXPECT_EQ(Ctl(C::InfoToggle).text, ">>>");
  EXPECT_TRUE(window->client_width > 0 && window->client_width < wide);
  EXPECT_EQ(preview->calls, (Lines{"StartCatalogue", "StartSlideTimer", "StartSlideTimer", "StopCatalogue"}));
}

// Keys in order on one preview: the show's calls and the overlay sequence's
// state after each.
TEST_F(OptionsControlsTest, PreviewKeysStepAndToggleTheOverlayButEndNothing) {
  OpenWithPanel();
  const int kArm = kOverlayArmKey, kToggle = kOverlayToggleKey;
  const std::tuple<int, bool, const char*> steps[] = {  // key, show running, effect
      {37, true, "Back"},   {38, true, "Back"},       {8, true, "Back"},
      {13, true, "Tick"},   {39, true, "Tick"},       {40, true, "Tick"},   {37, false, "Back"},  {39, false, ""},
      {kToggle, true, ""},  {kArm, true, "armed"},    {kArm, true, "armed"}, {kToggle, true, "debug"},
      {kArm, true, "armed debug"}, {'A', true, "debug"}, {kToggle, true, "debug"}, {kArm, true, "armed debug"},
      {39, true, "Tick debug"},  // navigation disarms too
  };
  for (const auto& [key, running, effect] : steps) {
    preview->calls.clear();
    preview->timer_running = running;
    dialog->OnKeyDown(C::Preview, key, 0);
    std::string got = preview->flags.overlay_armed ? " armed" : "";
    for (const std::string& call : preview->calls) got += " " + call;
    EXPECT_EQ(got + (preview->flags.status_overlay ? " debug" : ""), effect[0] ? " " + std::string(effect) : "")
        << key;
  }
  EXPECT_TRUE(fakes.system.calls.empty()) << "nothing ended";
}

TEST(AccessKeyFocus, SharedLettersTakeTurnsPastControlsThatCannotTakeTheFocus) {
  const struct { char letter; C focus; std::set<C> disabled; C target; } cases[] = {
      {'I', C::Dialog, {}, C::IntervalCombo},           // nothing focused: the first label
      {'I', C::IntervalCombo, {}, C::SubfoldersCheck},  // the next label with the letter
      {'I', C::SubfoldersCheck, {}, C::IntervalCombo},  // wrapping
      {'E', C::IntervalCombo, {C::ExcludeList}, C::ResolutionCheck},
      {'E', C::ResolutionCheck, {C::ExcludeList}, C::ResolutionCheck},  // the only one left
      {'E', C::Ok, {C::ExcludeList, C::ResolutionCheck}, C::Dialog},
      {'T', C::Ok, {}, C::PickTextColour},  // past the swatch, which takes no focus
      {'O', C::Dialog, {}, C::Dialog},      // OK's own letter: the button, not a label
      {'Z', C::Dialog, {}, C::Dialog},
  };
  for (const auto& c : cases) {
    const C target = AccessKeyFocus(c.letter, c.focus, [&](C id) { return !c.disabled.count(id); });
    EXPECT_EQ(IndexOf(target), IndexOf(c.target)) << c.letter << " from " << IndexOf(c.focus);
  }
}

}  // namespace
