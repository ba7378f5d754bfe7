// The GTK options window over the view-model (fake services and show
// machinery): the tooltips of every control. What its widgets show and
// forward: the end-to-end options.sh.
#include "options/options_window_gtk.h"
#include "options/gtk_session.h"
#include "options/options_fixture.h"

namespace {

struct GtkWindowRig : OptionsHarness {
  GtkWindowRig() { window_factory = CreatePlatformOptionsWindow; }
  ~GtkWindowRig() { dialog.reset(); }
  GtkWidget* W(ControlId id) { return GtkOptionsWidget(*dialog->Window(), id); }
};

TEST(GtkOptionsWindow, EveryControlHasItsTooltip) {
  GtkWindowRig r;
  if (!gtk_session::DisplayReady()) GTEST_SKIP() << "no display";
  r.Open();
  for (int i = 0; i < kControlCount; ++i) {
    gchar* tip = gtk_widget_get_tooltip_text(r.W(AllControls()[i].id));
    EXPECT_STREQ(tip ? tip : "", AllControls()[i].tooltip) << i;
    g_free(tip);
  }
}

}  // namespace
