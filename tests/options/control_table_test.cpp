// Where Alt + a label's letter moves the focus.
#include <gtest/gtest.h>

#include <set>

#include "options/control_ids.h"

namespace {

using C = ControlId;

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
