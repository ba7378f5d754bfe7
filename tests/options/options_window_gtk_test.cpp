// The GTK options window over the view-model (with fake ports and show
// machinery): every control is built as the table says, the view-model's
// changes reach the widgets, and the user's actions on the widgets reach the
// handlers.
#include "options/options_window_gtk.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "options/gtk_session.h"
#include "options/options_fixture.h"
#include "options/options_layout_gtk.h"
#include "saver/debug_keys.h"

namespace {

using C = ControlId;

// The fake window system, except that the options window is the real one.
class GtkOptionsWindows final : public WindowSystem {
 public:
  explicit GtkOptionsWindows(FakeWindowSystem& fake) : fake_(fake) {}
  WindowHandle GetParent(WindowHandle w) override { return fake_.GetParent(w); }
  bool GetNormalRect(WindowHandle w, WindowRect* r) override { return fake_.GetNormalRect(w, r); }
  void EnableWindow(WindowHandle w, bool enable) override { fake_.EnableWindow(w, enable); }
  void SetNotTopmost(WindowHandle w) override { fake_.SetNotTopmost(w); }
  std::unique_ptr<SaverWindow> CreateSaverWindow(SaverWindowEvents& e) override { return fake_.CreateSaverWindow(e); }
  std::unique_ptr<EngineWindow> CreateEngineWindow() override { return fake_.CreateEngineWindow(); }
  std::unique_ptr<OptionsWindow> CreateOptionsWindow(OptionsDialog& dialog) override {
    return CreateGtkOptionsWindow(dialog);
  }

 private:
  FakeWindowSystem& fake_;
};

class GtkOptionsWindowTest : public ::testing::Test, public OptionsHarness {
 protected:
  void SetUp() override {
    REQUIRE_GTK_DISPLAY();
    s.ports.windows = &gtk_windows;
  }

  OptionsDialog& OpenGtk(bool shown = true) {
    auto engine_owned = std::make_unique<FakePreviewEngine>(s);
    auto storage_owned = std::make_unique<FakeOptionsStorage>(s);
    engine = engine_owned.get();
    storage = storage_owned.get();
    storage->stored_grace = grace;
    storage->grace_readable = grace_readable;
    s.C = std::make_unique<OptionsDialog>(s, std::move(engine_owned), std::move(storage_owned));
    dialog = s.C.get();
    dialog->Load();
    if (shown) dialog->Show();
    gtk_session::Pump();
    return *dialog;
  }

  GtkWidget* W(ControlId id) { return GtkOptionsWidget(*dialog->Window(), id); }
  GtkWidget* Top() { return GtkOptionsToplevel(*dialog->Window()); }
  bool Sensitive(ControlId id) { return gtk_widget_is_sensitive(W(id)); }
  bool Visible(ControlId id) { return gtk_widget_is_visible(W(id)); }

  std::vector<std::string> Rows(ControlId list) {
    std::vector<std::string> rows;
    GtkTreeModel* model = gtk_tree_view_get_model(GTK_TREE_VIEW(W(list)));
    GtkTreeIter it;
    for (gboolean ok = gtk_tree_model_get_iter_first(model, &it); ok; ok = gtk_tree_model_iter_next(model, &it)) {
      gchar* text = nullptr;
      gtk_tree_model_get(model, &it, 0, &text, -1);
      rows.push_back(text ? text : "");
      g_free(text);
    }
    return rows;
  }
  int SelectedRow(ControlId list) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter it;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(W(list))), &model, &it)) return -1;
    GtkTreePath* path = gtk_tree_model_get_path(model, &it);
    const int row = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    return row;
  }
  std::string ChildLabel(ControlId button) {
    return gtk_label_get_text(GTK_LABEL(gtk_bin_get_child(GTK_BIN(W(button)))));
  }
  std::string Tooltip(ControlId id) {
    gchar* text = gtk_widget_get_tooltip_text(W(id));
    std::string result = text ? text : "";
    g_free(text);
    return result;
  }
  // The control holding the keyboard focus, or Form.
  ControlId Focused() {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(Top()));
    for (int i = 0; i < kControlCount; ++i) {
      if (!KindTakesFocus(AllControls()[i].kind)) continue;
      GtkWidget* w = W(static_cast<ControlId>(i));
      if (focus && (focus == w || gtk_widget_is_ancestor(focus, w))) return static_cast<ControlId>(i);
    }
    return C::Form;
  }
  void Key(guint keyval, GdkModifierType state = static_cast<GdkModifierType>(0)) {
    gtk_session::SendKey(Top(), keyval, state);
    gtk_session::Pump();
  }
  int WindowWidth() {
    int width = 0, height = 0;
    gtk_window_get_size(GTK_WINDOW(Top()), &width, &height);
    return width;
  }

  GtkOptionsWindows gtk_windows{f.windows};
};

bool HasKind(GtkWidget* w, ControlKind kind, bool multiline) {
  switch (kind) {
    case ControlKind::Frame:
      return GTK_IS_FRAME(w);
    case ControlKind::Label:
      return GTK_IS_LABEL(w);
    case ControlKind::ComboBox:
      return GTK_IS_COMBO_BOX(w) && !gtk_combo_box_get_has_entry(GTK_COMBO_BOX(w));
    case ControlKind::ListBox:
      return GTK_IS_TREE_VIEW(w);
    case ControlKind::Button:
      return GTK_IS_BUTTON(w) && !GTK_IS_TOGGLE_BUTTON(w);
    case ControlKind::CheckBox:
      return GTK_IS_CHECK_BUTTON(w);
    case ControlKind::TextBox:
      return multiline ? GTK_IS_TEXT_VIEW(w) : GTK_IS_ENTRY(w);
    case ControlKind::Shape:
    case ControlKind::PictureBox:
      return GTK_IS_DRAWING_AREA(w);
  }
  return false;
}

TEST_F(GtkOptionsWindowTest, BuildsEveryControlWithItsKindTooltipAndAccessKey) {
  OpenGtk(false);
  for (int i = 0; i < kControlCount; ++i) {
    const ControlInfo& info = AllControls()[i];
    SCOPED_TRACE(info.name);
    GtkWidget* w = W(info.id);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(HasKind(w, info.kind, info.multiline));
    EXPECT_EQ(Tooltip(info.id), info.tooltip);
    const char key = AccessKeyOf(info.id);
    if (info.kind == ControlKind::Label && key != 0) {
      EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(w)), gdk_keyval_to_lower(static_cast<guint>(key)));
      EXPECT_EQ(gtk_label_get_mnemonic_widget(GTK_LABEL(w)), W(AccessKeyTarget(info.id)));
    }
  }
  EXPECT_EQ(ChildLabel(C::cmdOk), "OK");
  EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(gtk_bin_get_child(GTK_BIN(W(C::cmdOk))))), GDK_KEY_o);
  EXPECT_EQ(ChildLabel(C::cmdMove0), "\xE2\x96\xB2");  // the "Marlett" arrows as characters
  EXPECT_EQ(ChildLabel(C::cmdMove1), "\xE2\x96\xBC");
  EXPECT_STREQ(gtk_frame_get_label(GTK_FRAME(W(C::fraFrame1))), "Main Options (Affect all screensavers and users!)");
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(W(C::lblDesc11))), "Aspect ratio");
  EXPECT_TRUE(gtk_widget_get_can_focus(W(C::picSaver)));
  EXPECT_FALSE(gtk_text_view_get_editable(GTK_TEXT_VIEW(W(C::txtChangelog))));
  EXPECT_EQ(gtk_window_get_default_widget(GTK_WINDOW(Top())), W(C::cmdOk));
}

TEST_F(GtkOptionsWindowTest, ShowsTheLoadedSettings) {
  s.CurrentSettings.Interval = 15000;
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\\r\n";  // the last CR-LF leaves an empty line
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\\r\n";
  s.CurrentSettings.Random = true;
  s.CurrentSettings.ShowFilename = 0;
  s.CurrentSettings.ShowFileResolution = true;
  grace = " 10";
  grace_readable = true;
  OpenGtk();
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(Top())), s.ProgramTitle.c_str());
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(W(C::cmbInterval))), 10);
  gchar* interval = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(W(C::cmbInterval)));
  EXPECT_STREQ(interval, "15 seconds");
  g_free(interval);
  EXPECT_EQ(Rows(C::lstDirectory), (Lines{"C:\\A\\", "D:\\B\\", ""}));
  EXPECT_EQ(SelectedRow(C::lstDirectory), 0);
  EXPECT_FALSE(Sensitive(C::cmdMove0));
  EXPECT_TRUE(Sensitive(C::cmdMove1));
  // Without subfolders the exclusions are listed but cannot be edited.
  EXPECT_EQ(Rows(C::lstExclude), (Lines{"C:\\A\\X\\", ""}));
  EXPECT_FALSE(Sensitive(C::lstExclude));
  EXPECT_FALSE(Sensitive(C::cmdDelExclude));
  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(C::chkRandom))));
  EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(C::chkResolution))));
  EXPECT_FALSE(Sensitive(C::chkResolution));
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(W(C::cmbUpscaleMode))), s.CurrentSettings.UpscaleMode);
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(W(C::txtGrace))), "10");
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(W(C::lblInfo1))), dialog->Control(C::lblInfo1).text);
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(W(C::lblLink))), s.AboutLinkTarget);
  // The change log's CR-LF lines as lines.
  GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(W(C::txtChangelog)));
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(buffer, &start, &end);
  gchar* log = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
  EXPECT_EQ(std::string(log).rfind("v. 0.9.42\n- Added Exclude Paths\n", 0), 0u);
  EXPECT_EQ(std::strchr(log, '\r'), nullptr);
  g_free(log);
  EXPECT_FALSE(Visible(C::picSaver));    // the Info panel opens with cmdMore
  EXPECT_EQ(Focused(), C::cmbInterval);  // the first control in tab order
}

TEST_F(GtkOptionsWindowTest, UserActionsReachTheHandlersAndTheirEffectsShow) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\";
  s.CurrentSettings.ShowFilename = 2;
  OpenGtk();

  gtk_combo_box_set_active(GTK_COMBO_BOX(W(C::cmbInterval)), 55);
  EXPECT_EQ(s.CurrentSettings.Interval, 60000);

  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(W(C::chkRecursive)), TRUE);
  EXPECT_TRUE(s.CurrentSettings.Recursive);
  EXPECT_TRUE(Sensitive(C::lstExclude));
  EXPECT_TRUE(Sensitive(C::cmdAddExclude1));

  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(W(C::chkResolution)), TRUE);
  EXPECT_TRUE(s.CurrentSettings.ShowFileResolution);
  gtk_combo_box_set_active(GTK_COMBO_BOX(W(C::cmbFileName)), 0);  // "No" clears and disables the resolution
  EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(C::chkResolution))));
  EXPECT_FALSE(Sensitive(C::chkResolution));
  EXPECT_FALSE(s.CurrentSettings.ShowFileResolution);

  GtkTreePath* second = gtk_tree_path_new_from_indices(1, -1);
  gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(W(C::lstDirectory))), second);
  gtk_tree_path_free(second);
  EXPECT_EQ(dialog->Control(C::lstDirectory).selected, 1);
  EXPECT_TRUE(Sensitive(C::cmdMove0));
  EXPECT_FALSE(Sensitive(C::cmdMove1));
  gtk_button_clicked(GTK_BUTTON(W(C::cmdMove0)));
  EXPECT_EQ(Rows(C::lstDirectory), (Lines{"D:\\B\\", "C:\\A\\"}));
  EXPECT_EQ(SelectedRow(C::lstDirectory), 0);
  EXPECT_EQ(Focused(), C::lstDirectory);  // the up button has just been disabled

  f.dialogs.typed = {"  E:\\New  "};
  gtk_button_clicked(GTK_BUTTON(W(C::cmdAdd1)));
  ASSERT_EQ(f.dialogs.inputs.size(), 1u);
  EXPECT_EQ(f.dialogs.inputs[0].owner, dialog->Window()->Handle());
  EXPECT_EQ(Rows(C::lstDirectory), (Lines{"D:\\B\\", "C:\\A\\", "E:\\New\\"}));
  EXPECT_EQ(SelectedRow(C::lstDirectory), 2);

  gtk_entry_set_text(GTK_ENTRY(W(C::txtGrace)), "12");
  EXPECT_EQ(dialog->Control(C::txtGrace).text, "12");
}

// The swatch is painted in the colour the view-model holds (0x00BBGGRR).
TEST_F(GtkOptionsWindowTest, ColourSwatchesShowThePickedColour) {
  OpenGtk();
  f.dialogs.colors = {0x336699};
  gtk_button_clicked(GTK_BUTTON(W(C::cmdColor1)));
  EXPECT_EQ(s.CurrentSettings.ShowFilenameColorBorder, 0x336699);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 20);
  cairo_t* cr = cairo_create(surface);
  gtk_widget_draw(W(C::shpDemo1), cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const auto* pixel = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface) +
                                                             10 * cairo_image_surface_get_stride(surface)) +
                      20;
  EXPECT_EQ(*pixel & 0xFFFFFF, 0x996633u);  // cairo's 0x00RRGGBB
  cairo_surface_destroy(surface);
}

TEST_F(GtkOptionsWindowTest, InfoPanelWidensTheWindowAndBackAndTheLinkOpensOnDoubleClick) {
  OpenGtk();
  const int narrow = WindowWidth();
  gtk_button_clicked(GTK_BUTTON(W(C::cmdMore)));
  EXPECT_TRUE(Visible(C::picSaver));
  EXPECT_EQ(ChildLabel(C::cmdMore), "<<<");
  EXPECT_TRUE(gtk_session::PumpUntil([&] { return WindowWidth() > narrow + 250; })) << WindowWidth();
  ASSERT_NE(dialog->picSaver(), nullptr);

  GtkWidget* link = gtk_widget_get_parent(W(C::lblLink));
  GdkEvent* click = gdk_event_new(GDK_2BUTTON_PRESS);
  click->button.button = 1;
  click->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(link)));
  gboolean handled = FALSE;
  g_signal_emit_by_name(link, "button-press-event", click, &handled);
  gdk_event_free(click);
  EXPECT_EQ(f.dialogs.links, (Lines{s.AboutLinkTarget}));

  gtk_button_clicked(GTK_BUTTON(W(C::cmdMore)));
  EXPECT_FALSE(Visible(C::picSaver));
  EXPECT_TRUE(gtk_session::PumpUntil([&] { return WindowWidth() == narrow; })) << WindowWidth() << " " << narrow;
}

// The preview takes every key but Tab and Esc: Enter steps there instead of
// committing the dialog.
TEST_F(GtkOptionsWindowTest, PreviewTakesTheKeysItNeeds) {
  OpenGtk();
  gtk_button_clicked(GTK_BUTTON(W(C::cmdMore)));
  gtk_session::Pump();
  engine->timer_running = true;
  dialog->Window()->FocusControl(C::picSaver);
  engine->calls.clear();
  Key(GDK_KEY_Right);
  Key(GDK_KEY_Return);
  EXPECT_EQ(engine->calls, (Lines{"Tick", "Tick"}));
  Key(GDK_KEY_F7);
  Key(GDK_KEY_F8);
  EXPECT_TRUE(s.DebugMode);
  Key(GDK_KEY_F7);
  Key(GDK_KEY_a);  // any other key disarms
  EXPECT_FALSE(s.CommandKeyArmed);
  Key(GDK_KEY_Tab);
  EXPECT_EQ(Focused(), C::txtChangelog);
}

TEST_F(GtkOptionsWindowTest, TabFollowsTheTableOrderSkippingDisabledControls) {
  s.CurrentSettings.ShowFilename = 0;  // chkResolution disabled
  OpenGtk();                           // no folders, no subfolders: the exclude controls are disabled too
  const std::vector<ControlId> order = {C::cmbInterval,    C::lstDirectory, C::cmdAdd0,      C::cmdAdd1,
                                        C::chkRecursive,   C::chkRandom,    C::cmbCheckSize, C::cmbAspectRatio,
                                        C::cmbUpscaleMode, C::cmbFileName,  C::cmdColor0,    C::cmdColor1,
                                        C::txtGrace,       C::cmdOk,        C::cmdCancel,    C::cmdMore};
  ASSERT_EQ(Focused(), order[0]);
  for (std::size_t i = 1; i <= order.size(); ++i) {
    Key(GDK_KEY_Tab);
    EXPECT_EQ(Focused(), order[i % order.size()]) << "after " << i << " tabs";
  }
  Key(GDK_KEY_ISO_Left_Tab, GDK_SHIFT_MASK);
  EXPECT_EQ(Focused(), C::cmdMore);
}

// Alt+I belongs to "&Interval:" and "&Include subdirs": it moves between them.
TEST_F(GtkOptionsWindowTest, SharedAccessKeysCycleAndUniqueOnesMoveTheFocus) {
  OpenGtk();
  GtkWindow* top = GTK_WINDOW(Top());
  gtk_window_mnemonic_activate(top, GDK_KEY_p, GDK_MOD1_MASK);
  EXPECT_EQ(Focused(), C::lstDirectory);
  std::vector<ControlId> seen;
  for (int i = 0; i < 3; ++i) {
    gtk_window_mnemonic_activate(top, GDK_KEY_i, GDK_MOD1_MASK);
    seen.push_back(Focused());
  }
  EXPECT_NE(seen[0], seen[1]);
  EXPECT_EQ(seen[2], seen[0]);
  EXPECT_TRUE(seen[0] == C::cmbInterval || seen[0] == C::chkRecursive);
  EXPECT_TRUE(seen[1] == C::cmbInterval || seen[1] == C::chkRecursive);
  EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(C::chkRecursive))));  // focused, not toggled
}

}  // namespace
