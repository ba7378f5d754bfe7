// The options dialog's widgets in a native GTK layout. Positions in twips
// would not fit GTK's larger widgets, so the controls sit in grids that keep
// the designed rows and columns; only the sizes that carry meaning (the
// lists, the colour swatches, the preview) come from the table.
#include "options/options_layout_gtk.h"

#include <utility>

#include "options/widget_text_gtk.h"

namespace {

using C = ControlId;

// The dialog's design font size; other sizes scale the theme's font by the same ratio.
constexpr double kDesignPoints = 8.25;
constexpr int kSpacing = 6;

GtkWidget* Label(const GtkControl& c) { return c.widget; }

void ApplyFont(GtkWidget* label, const ControlInfo& info) {
  if (!GTK_IS_LABEL(label)) return;
  PangoAttrList* attrs = pango_attr_list_new();
  if (info.font.points != kDesignPoints)
    pango_attr_list_insert(attrs, pango_attr_scale_new(info.font.points / kDesignPoints));
  if (info.font.bold) pango_attr_list_insert(attrs, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
  if (info.font.underline) pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (info.fore_color >= 0) {
    const auto channel = [&](int shift) { return static_cast<guint16>(((info.fore_color >> shift) & 0xFF) * 257); };
    pango_attr_list_insert(attrs, pango_attr_foreground_new(channel(0), channel(8), channel(16)));
  }
  gtk_label_set_attributes(GTK_LABEL(label), attrs);
  pango_attr_list_unref(attrs);
}

GtkWidget* Scrolled(GtkWidget* child, GtkPolicyType horizontal, GtkPolicyType vertical) {
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroll), GTK_SHADOW_IN);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), horizontal, vertical);
  gtk_container_add(GTK_CONTAINER(scroll), child);
  return scroll;
}

GtkControl MakeLabel(const ControlInfo& info) {
  GtkWidget* label = AccessKeyOf(info.id) != 0 ? gtk_label_new_with_mnemonic(MnemonicFromAccessText(info.text).c_str())
                                               : gtk_label_new(info.text);
  gtk_label_set_xalign(GTK_LABEL(label), info.centred ? 0.5f : 0.0f);
  gtk_label_set_justify(GTK_LABEL(label), info.centred ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
  ApplyFont(label, info);
  if (!info.link) return {label, label};
  // A label has no window of its own: the event box takes the double-click
  // and carries the hand pointer.
  GtkWidget* box = gtk_event_box_new();
  gtk_widget_add_events(box, GDK_BUTTON_PRESS_MASK);
  gtk_container_add(GTK_CONTAINER(box), label);
  return {label, box};
}

GtkControl MakeList(const ControlInfo& info, double dpi) {
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
  g_object_unref(store);  // the view keeps it
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
  gtk_tree_view_set_enable_search(GTK_TREE_VIEW(view), FALSE);  // letters must not open a search box
  gtk_tree_view_insert_column_with_attributes(GTK_TREE_VIEW(view), -1, "", gtk_cell_renderer_text_new(), "text", 0,
                                              nullptr);
  gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), GTK_SELECTION_SINGLE);
  GtkWidget* scroll = Scrolled(view, GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_widget_set_size_request(scroll, TwipsToPixels(info.rect.width, dpi), TwipsToPixels(info.rect.height, dpi));
  gtk_widget_set_hexpand(scroll, TRUE);
  return {view, scroll, store};
}

GtkControl MakeTextBox(const ControlInfo& info, double dpi) {
  if (!info.multiline) {
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 8);
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_widget_set_halign(entry, GTK_ALIGN_START);
    return {entry, entry};
  }
  // Read-only: it only shows the change log, which is never read back.
  GtkWidget* view = gtk_text_view_new();
  gtk_widget_set_name(view, "glimmora-changelog");
  gtk_text_view_set_editable(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_cursor_visible(GTK_TEXT_VIEW(view), FALSE);
  gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(view), GTK_WRAP_WORD_CHAR);
  gtk_text_view_set_left_margin(GTK_TEXT_VIEW(view), 4);
  GtkWidget* scroll = Scrolled(view, GTK_POLICY_NEVER, GTK_POLICY_ALWAYS);
  gtk_scrolled_window_set_min_content_height(GTK_SCROLLED_WINDOW(scroll), TwipsToPixels(info.rect.height, dpi) / 2);
  gtk_widget_set_vexpand(scroll, TRUE);
  return {view, scroll};
}

GtkControl MakePicture(const ControlInfo& info, double dpi, OptionsLayout& layout) {
  layout.preview_width = TwipsToPixels(info.rect.width, dpi);
  layout.preview_height = TwipsToPixels(info.rect.height, dpi);
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, layout.preview_width, layout.preview_height);
  gtk_widget_set_can_focus(area, TRUE);
  gtk_widget_add_events(area, GDK_KEY_PRESS_MASK | GDK_BUTTON_PRESS_MASK | GDK_FOCUS_CHANGE_MASK);
  // The frame shows where the preview is, and whether it has the focus.
  GtkWidget* frame = gtk_frame_new(nullptr);
  gtk_style_context_add_class(gtk_widget_get_style_context(frame), "glimmora-preview");
  gtk_container_add(GTK_CONTAINER(frame), area);
  gtk_widget_set_halign(frame, GTK_ALIGN_CENTER);
  return {area, frame};
}

GtkControl MakeControl(const ControlInfo& info, double dpi, OptionsLayout& layout) {
  switch (info.kind) {
    case ControlKind::Frame: {
      GtkWidget* frame = gtk_frame_new(info.text);
      return {frame, frame};
    }
    case ControlKind::Label: return MakeLabel(info);
    case ControlKind::ComboBox: {
      GtkWidget* combo = gtk_combo_box_text_new();
      return {combo, combo};
    }
    case ControlKind::ListBox: return MakeList(info, dpi);
    case ControlKind::Button: {
      std::string caption = MnemonicFromAccessText(SymbolGlyphs(info.font.face, info.text));
      GtkWidget* button = gtk_button_new_with_mnemonic(caption.c_str());
      ApplyFont(gtk_bin_get_child(GTK_BIN(button)), info);
      if (info.container == C::OptionsFrame) {
        gtk_style_context_add_class(gtk_widget_get_style_context(button), "glimmora-small");
      }
      return {button, button};
    }
    case ControlKind::CheckBox: {
      GtkWidget* check = gtk_check_button_new();
      gtk_widget_set_halign(check, GTK_ALIGN_START);
      return {check, check};
    }
    case ControlKind::TextBox: return MakeTextBox(info, dpi);
    case ControlKind::Shape: {
      GtkWidget* area = gtk_drawing_area_new();
      gtk_widget_set_size_request(area, TwipsToPixels(info.rect.width, dpi), TwipsToPixels(info.rect.height, dpi));
      gtk_widget_set_valign(area, GTK_ALIGN_CENTER);
      return {area, area};
    }
    case ControlKind::PictureBox: return MakePicture(info, dpi, layout);
  }
  return {};
}

GtkWidget* Grid() {
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), kSpacing);
  gtk_grid_set_column_spacing(GTK_GRID(grid), kSpacing + 2);
  gtk_container_set_border_width(GTK_CONTAINER(grid), kSpacing + 2);
  return grid;
}

GtkWidget* Box(GtkOrientation orientation, std::initializer_list<GtkWidget*> children, int spacing = kSpacing) {
  GtkWidget* box = gtk_box_new(orientation, spacing);
  for (GtkWidget* child : children) gtk_box_pack_start(GTK_BOX(box), child, FALSE, FALSE, 0);
  return box;
}

// A label beside a control on the right: it takes the free space and keeps
// its text against the control.
GtkWidget* RightLabel(GtkWidget* label) {
  gtk_widget_set_hexpand(label, TRUE);
  gtk_label_set_xalign(GTK_LABEL(label), 1.0f);
  return label;
}

// Packs `extra` after the children of a box, taking the free space.
GtkWidget* Then(GtkWidget* box, GtkWidget* extra) {
  gtk_box_pack_start(GTK_BOX(box), extra, TRUE, TRUE, 0);
  return box;
}

// Column 0 the labels, column 1 the controls, column 2 the small buttons and
// the check boxes on the right.
void LayOutOptions(OptionsLayout& l) {
  auto outer = [&](C id) { return l[id].outer; };
  GtkWidget* grid = Grid();
  auto put = [&](GtkWidget* widget, int column, int row, int width = 1) {
    gtk_grid_attach(GTK_GRID(grid), widget, column, row, width, 1);
  };
  for (C label : {C::IncludeLabel, C::ExcludeLabel}) gtk_widget_set_valign(outer(label), GTK_ALIGN_START);
  gtk_widget_set_halign(outer(C::IntervalCombo), GTK_ALIGN_START);

  put(outer(C::IntervalLabel), 0, 0);
  put(outer(C::IntervalCombo), 1, 0, 2);
  put(outer(C::IncludeLabel), 0, 1);
  put(outer(C::IncludeList), 1, 1);
  GtkWidget* gap = gtk_label_new(nullptr);  // "M" stands apart from the four list buttons
  GtkWidget* include_buttons = Then(
      Box(GTK_ORIENTATION_VERTICAL,
          {outer(C::AddIncludeWithPicker), outer(C::RemoveInclude), outer(C::MoveIncludeUp), outer(C::MoveIncludeDown)},
          2),
      gap);
  gtk_box_pack_start(GTK_BOX(include_buttons), outer(C::AddIncludeByPath), FALSE, FALSE, 0);
  put(include_buttons, 2, 1);

  put(outer(C::SubfoldersLabel), 0, 2);
  put(Then(Box(GTK_ORIENTATION_HORIZONTAL, {outer(C::SubfoldersCheck)}), RightLabel(outer(C::RandomLabel))), 1, 2);
  put(outer(C::RandomCheck), 2, 2);
  put(outer(C::ExcludeLabel), 0, 3);
  put(outer(C::ExcludeList), 1, 3);
  put(Box(GTK_ORIENTATION_VERTICAL,
          {outer(C::AddExcludeWithPicker), outer(C::RemoveExclude), outer(C::AddExcludeByPath)}, 2),
      2, 3);

  int row = 4;
  for (const auto& [label, combo] :
       {std::pair{C::SizeFilterLabel, C::SizeFilterCombo}, std::pair{C::AspectFilterLabel, C::AspectFilterCombo},
        std::pair{C::ScaleModeLabel, C::ScaleModeCombo}}) {
    put(outer(label), 0, row);
    put(outer(combo), 1, row++, 2);
  }
  put(outer(C::CaptionLabel), 0, row);
  put(Then(Box(GTK_ORIENTATION_HORIZONTAL, {outer(C::CaptionCombo)}), RightLabel(outer(C::ResolutionLabel))), 1, row);
  put(outer(C::ResolutionCheck), 2, row++);
  put(outer(C::TextColourLabel), 0, row);
  put(Box(GTK_ORIENTATION_HORIZONTAL, {outer(C::TextColourSwatch), outer(C::PickTextColour)}), 1, row++);
  put(outer(C::BorderColourLabel), 0, row);
  put(Box(GTK_ORIENTATION_HORIZONTAL, {outer(C::BorderColourSwatch), outer(C::PickBorderColour)}), 1, row);
  gtk_container_add(GTK_CONTAINER(outer(C::OptionsFrame)), grid);

  GtkWidget* grace = Grid();
  gtk_grid_attach(GTK_GRID(grace), outer(C::GraceLabel), 0, 0, 1, 1);
  gtk_grid_attach(GTK_GRID(grace), outer(C::GraceText), 1, 0, 1, 1);
  gtk_container_add(GTK_CONTAINER(outer(C::SystemFrame)), grace);

  // The grace period lines up with the options above it, as designed.
  GtkSizeGroup* labels = gtk_size_group_new(GTK_SIZE_GROUP_HORIZONTAL);
  for (C label : {C::IntervalLabel, C::IncludeLabel, C::SubfoldersLabel, C::ExcludeLabel, C::SizeFilterLabel,
                  C::AspectFilterLabel, C::ScaleModeLabel, C::CaptionLabel, C::TextColourLabel, C::BorderColourLabel,
                  C::GraceLabel}) {
    gtk_size_group_add_widget(labels, outer(label));
  }
  g_object_unref(labels);  // the widgets keep it
}

void LayOutInfoPanel(OptionsLayout& l) {
  auto outer = [&](C id) { return l[id].outer; };
  GtkWidget* help = Label(l[C::HelpLabel]);
  gtk_label_set_line_wrap(GTK_LABEL(help), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(help), 44);
  gtk_label_set_justify(GTK_LABEL(help), GTK_JUSTIFY_CENTER);
  gtk_label_set_xalign(GTK_LABEL(help), 0.5f);
  for (C title : {C::ProgramNameLabel, C::VersionLabel}) {
    gtk_label_set_line_wrap(GTK_LABEL(Label(l[title])), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(Label(l[title])), 30);
  }
  gtk_label_set_ellipsize(GTK_LABEL(Label(l[C::AboutLink])), PANGO_ELLIPSIZE_END);
  // The show's style: two rows of a label and a combo, then a label and a check box.
  GtkWidget* show = Grid();
  const C show_rows[2][4] = {{C::TransitionLabel, C::TransitionCombo, C::MotionLabel, C::MotionCheck},
                             {C::CaptionTextLabel, C::CaptionTextCombo, C::BackdropLabel, C::BackdropCheck}};
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 4; ++column) {
      GtkWidget* widget = outer(show_rows[row][column]);
      if (column == 2) RightLabel(widget);
      if (column == 0) gtk_label_set_xalign(GTK_LABEL(Label(l[show_rows[row][0]])), 0.0f);
      gtk_grid_attach(GTK_GRID(show), widget, column, row, 1, 1);
    }
  }
  gtk_container_add(GTK_CONTAINER(outer(C::ShowFrame)), show);
  GtkWidget* box = Box(GTK_ORIENTATION_VERTICAL, {outer(C::ProgramNameLabel), outer(C::VersionLabel), outer(C::Preview),
                                                  outer(C::HelpLabel), outer(C::ShowFrame), outer(C::ChangelogLabel)});
  gtk_box_pack_start(GTK_BOX(box), outer(C::ChangelogText), TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box), outer(C::AboutLink), FALSE, FALSE, 0);
  gtk_container_set_border_width(GTK_CONTAINER(box), kSpacing + 2);
  gtk_container_add(GTK_CONTAINER(outer(C::InfoPanel)), box);
}

GtkWidget* LayOutWindow(OptionsLayout& l, double dpi) {
  LayOutOptions(l);
  LayOutInfoPanel(l);
  GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, kSpacing);
  gtk_box_set_homogeneous(GTK_BOX(buttons), TRUE);
  for (C id : {C::Ok, C::Cancel, C::InfoToggle}) gtk_box_pack_start(GTK_BOX(buttons), l[id].outer, TRUE, TRUE, 0);
  gtk_widget_set_halign(buttons, GTK_ALIGN_END);
  GtkWidget* left =
      Box(GTK_ORIENTATION_VERTICAL, {l[C::OptionsFrame].outer, l[C::SystemFrame].outer, buttons}, kSpacing + 2);
  GtkWidget* content = Box(GTK_ORIENTATION_HORIZONTAL, {left}, kSpacing + 4);
  gtk_box_pack_start(GTK_BOX(content), l[C::InfoPanel].outer, FALSE, TRUE, 0);
  gtk_widget_set_size_request(l[C::InfoPanel].outer, TwipsToPixels(InfoOf(C::InfoPanel).rect.width, dpi), -1);
  gtk_container_set_border_width(GTK_CONTAINER(content), kSpacing + 2);
  return content;
}

}  // namespace

bool KindTakesFocus(ControlKind kind) {
  return kind != ControlKind::Label && kind != ControlKind::Frame && kind != ControlKind::Shape;
}

OptionsLayout BuildOptionsLayout(double dpi) {
  OptionsLayout layout;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlInfo& info = AllControls()[i];
    GtkControl control = MakeControl(info, dpi, layout);
    if (info.tooltip[0] != '\0') gtk_widget_set_tooltip_text(control.widget, info.tooltip);
    layout.controls[i] = control;
  }
  // Each label's access key moves the focus to the control that follows it.
  for (int i = 0; i < kControlCount; ++i) {
    const ControlId target = AccessKeyTarget(AllControls()[i].id);
    if (target != ControlId::Dialog)
      gtk_label_set_mnemonic_widget(GTK_LABEL(layout.controls[i].widget), layout[target].widget);
  }
  layout.content = LayOutWindow(layout, dpi);
  return layout;
}
