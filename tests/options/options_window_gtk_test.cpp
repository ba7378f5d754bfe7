// The GTK options window over the view-model (fake services and show
// machinery): the options-window contract, and the tooltips of every control.
#include "options/options_window_gtk.h"
#include "options/gtk_session.h"
#include "options/options_window_contract.h"

namespace {

struct GtkWindowRig : OptionsHarness {
  GtkWindowRig() { window_factory = CreatePlatformOptionsWindow; }
  ~GtkWindowRig() { dialog.reset(); }
  bool Ready() { return gtk_session::DisplayReady(); }
  void ShowWindow() {
    dialog->Show();
    gtk_session::Pump();
  }
  GtkWidget* W(ControlId id) { return GtkOptionsWidget(*dialog->Window(), id); }
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
  int ComboIndex(ControlId id) { return gtk_combo_box_get_active(GTK_COMBO_BOX(W(id))); }
  bool Checked(ControlId id) { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(id))); }
  bool WidgetEnabled(ControlId id) { return gtk_widget_is_sensitive(W(id)); }
  bool WidgetVisible(ControlId id) { return gtk_widget_is_visible(W(id)); }
  std::string Text(ControlId id) {
    GtkWidget* w = W(id);
    return GTK_IS_ENTRY(w) ? gtk_entry_get_text(GTK_ENTRY(w)) : gtk_label_get_text(GTK_LABEL(w));
  }
  void Click(ControlId id) { gtk_button_clicked(GTK_BUTTON(W(id))); }
  void SelectRow(ControlId list, int row) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(W(list))), path);
    gtk_tree_path_free(path);
  }
  void SelectCombo(ControlId id, int index) { gtk_combo_box_set_active(GTK_COMBO_BOX(W(id)), index); }
  void Toggle(ControlId id) { gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(W(id)), !Checked(id)); }
  void Type(ControlId id, const std::string& text) { gtk_entry_set_text(GTK_ENTRY(W(id)), text.c_str()); }
  void PressEnterInPreview() {
    dialog->Window()->FocusControl(C::Preview);
    gtk_session::SendKey(GtkOptionsToplevel(*dialog->Window()), GDK_KEY_Return);
  }
};

TEST(GtkOptionsWindow, EveryControlHasItsTooltip) {
  GtkWindowRig r;
  if (!r.Ready()) GTEST_SKIP() << "no display";
  r.Open();
  for (int i = 0; i < kControlCount; ++i) {
    gchar* tip = gtk_widget_get_tooltip_text(r.W(AllControls()[i].id));
    EXPECT_STREQ(tip ? tip : "", AllControls()[i].tooltip) << i;
    g_free(tip);
  }
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Gtk, OptionsWindowContract, GtkWindowRig);
