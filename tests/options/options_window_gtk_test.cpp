// The GTK options window over the view-model (fake ports and show machinery):
// every control of the table is built, the view-model's state reaches the
// widgets and the user's actions on the widgets reach the handlers.
#include "options/options_window_gtk.h"
#include "options/gtk_session.h"
#include "options/options_fixture.h"

namespace {

class GtkOptionsWindowTest : public PlatformOptionsTest {
 protected:
  void SetUp() override {
    REQUIRE_GTK_DISPLAY();
    UsePlatformWindows();
  }
  GtkWidget* W(ControlId id) { return GtkOptionsWidget(*dialog->Window(), id); }
  bool Sensitive(ControlId id) { return gtk_widget_is_sensitive(W(id)); }
  Lines Rows(ControlId list) {
    Lines rows;
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
};

TEST_F(GtkOptionsWindowTest, WidgetsShowTheStateAndForwardTheUsersActions) {
  s.CurrentSettings.ImageDirectory = "C:\\A\\\r\nD:\\B\\\r\n";  // the last CR-LF leaves an empty line
  s.CurrentSettings.ExcludeDirectory = "C:\\A\\X\\";
  grace = " 10";
  Open().Show();
  gtk_session::Pump();
  for (int i = 0; i < kControlCount; ++i) {
    gchar* tip = gtk_widget_get_tooltip_text(W(AllControls()[i].id));
    EXPECT_STREQ(tip ? tip : "", AllControls()[i].tooltip) << AllControls()[i].name;
    g_free(tip);
  }
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(W(C::cmbInterval))), 10);
  EXPECT_EQ(Rows(C::lstDirectory), (Lines{"C:\\A\\", "D:\\B\\", ""}));
  EXPECT_EQ(Rows(C::lstExclude), Lines{"C:\\A\\X\\"});
  EXPECT_FALSE(Sensitive(C::lstExclude));
  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(C::chkRandom))));
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(W(C::txtGrace))), "10");
  EXPECT_EQ(gtk_label_get_text(GTK_LABEL(W(C::lblLink))), s.AboutLinkTarget);

  gtk_combo_box_set_active(GTK_COMBO_BOX(W(C::cmbInterval)), 55);
  EXPECT_EQ(s.CurrentSettings.Interval, 60000);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(W(C::chkRecursive)), TRUE);
  EXPECT_TRUE(s.CurrentSettings.Recursive);
  EXPECT_TRUE(Sensitive(C::lstExclude));
  GtkTreePath* second = gtk_tree_path_new_from_indices(1, -1);
  gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(W(C::lstDirectory))), second);
  gtk_tree_path_free(second);
  EXPECT_EQ(dialog->Control(C::lstDirectory).selected, 1);
  gtk_button_clicked(GTK_BUTTON(W(C::cmdMove0)));
  EXPECT_EQ(Rows(C::lstDirectory), (Lines{"D:\\B\\", "C:\\A\\", ""}));
  EXPECT_FALSE(Sensitive(C::cmdMove0));
  f.dialogs.typed = {"E:\\New"};
  gtk_button_clicked(GTK_BUTTON(W(C::cmdAdd1)));
  EXPECT_EQ(Rows(C::lstDirectory).back(), "E:\\New\\");
  EXPECT_EQ(f.dialogs.owner, dialog->Window()->Handle());
  gtk_entry_set_text(GTK_ENTRY(W(C::txtGrace)), "12");
  EXPECT_EQ(dialog->Control(C::txtGrace).text, "12");

  // The Info panel's preview takes Enter, which elsewhere is OK.
  gtk_button_clicked(GTK_BUTTON(W(C::cmdMore)));
  EXPECT_TRUE(gtk_widget_is_visible(W(C::picSaver)));
  engine->timer_running = true;
  dialog->Window()->FocusControl(C::picSaver);
  engine->calls.clear();
  gtk_session::SendKey(GtkOptionsToplevel(*dialog->Window()), GDK_KEY_Return);
  gtk_session::SendKey(GtkOptionsToplevel(*dialog->Window()), GDK_KEY_Right);
  EXPECT_EQ(engine->calls, (Lines{"Tick", "Tick"}));
}

}  // namespace
