// GTK backend of the options dialog (Linux): shows the view-model's state in
// the widgets of options_layout_gtk.cpp and forwards the user's actions.
// Keys: Tab walks the table's tab order, Enter clicks OK (unless a push
// button or the preview has the focus: the preview takes every key but Tab
// and Esc), Esc clicks Cancel, Alt+letter follows the access keys, cycling
// where two labels share a letter (AccessKeyFocus).
#include "options/options_window_gtk.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <optional>

#include "options/options_dialog.h"
#include "options/options_layout_gtk.h"
#include "options/widget_text_gtk.h"
#include "render/picture_box_gtk.h"
#include "platform/keyboard_gtk.h"

namespace {

using C = ControlId;

constexpr char kControlKey[] = "glimmora-control";

// The look the theme cannot know: the change log on the dialog's own
// background, compact list buttons, and the preview's focus frame.
constexpr char kCss[] =
    "#glimmora-changelog, #glimmora-changelog text { background-color: @theme_bg_color; }\n"
    "button.glimmora-small { min-width: 22px; min-height: 20px; padding: 1px 4px; }\n"
    "frame.glimmora-preview > border { border: 2px solid transparent; }\n"
    "frame.glimmora-preview.focused > border { border-color: @theme_selected_bg_color; }\n";

void InstallCss() {
  static bool installed = false;
  GdkScreen* screen = gdk_screen_get_default();
  if (installed || !screen) return;
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
  installed = true;
}

double ScreenDpi() {
  GdkScreen* screen = gdk_screen_get_default();
  double dpi = screen ? gdk_screen_get_resolution(screen) : -1;
  return dpi > 0 ? dpi : 96.0;
}

void Tag(gpointer object, ControlId id) {
  g_object_set_data(G_OBJECT(object), kControlKey, GINT_TO_POINTER(IndexOf(id) + 1));
}

ControlId TagOf(gpointer object) {
  return static_cast<ControlId>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(object), kControlKey)) - 1);
}

class GtkOptionsWindow final : public OptionsWindow {
 public:
  explicit GtkOptionsWindow(OptionsDialog& dialog) : dialog_(dialog), layout_(BuildOptionsLayout(ScreenDpi())) {
    InstallCss();
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_object_ref_sink(window_);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    // Where nothing places it (no owner, no window manager), mid-screen.
    gtk_window_set_position(GTK_WINDOW(window_), GTK_WIN_POS_CENTER);
    gtk_container_add(GTK_CONTAINER(window_), layout_.content);
    gtk_widget_show_all(layout_.content);
    GtkWidget* ok = layout_[C::Ok].widget;
    gtk_widget_set_can_default(ok, TRUE);
    gtk_window_set_default(GTK_WINDOW(window_), ok);
    picture_ = std::make_unique<GtkPictureBox>(layout_[C::Preview].widget);
    picture_->Resize(layout_.preview_width, layout_.preview_height);  // ready before the panel is first shown
    ConnectEvents();
    ApplyAll();
    gtk_widget_realize(window_);
  }

  ~GtkOptionsWindow() override {
    picture_.reset();
    gtk_widget_destroy(window_);
    g_object_unref(window_);
  }

  WindowHandle Handle() const override {
    GdkWindow* w = gtk_widget_get_window(window_);
    return w ? static_cast<WindowHandle>(gdk_x11_window_get_xid(w)) : 0;
  }
  void SetCaption(const std::string& caption) override {
    gtk_window_set_title(GTK_WINDOW(window_), DisplayText(caption).c_str());
  }
  void SetOwner(WindowHandle owner) override {
    GdkWindow* self = gtk_widget_get_window(window_);
    GdkDisplay* display = gdk_window_get_display(self);
    gdk_x11_display_error_trap_push(display);
    XSetTransientForHint(GDK_WINDOW_XDISPLAY(self), gdk_x11_window_get_xid(self), static_cast<Window>(owner));
    gdk_x11_display_error_trap_pop_ignored(display);
  }
  void MoveTo(int x, int y) override { gtk_window_move(GTK_WINDOW(window_), x, y); }
  int OuterWidth() const override { return PreferredSize().width; }
  int OuterHeight() const override { return PreferredSize().height; }
  void Show() override {
    gtk_widget_show(window_);
    if (!ControlOfFocus()) MoveFocus(true);  // the first control in tab order, as a dialog opens
    gtk_window_present(GTK_WINDOW(window_));
  }
  PictureBox* Surface() override { return picture_.get(); }

  void ControlChanged(ControlId id, unsigned aspects) override {
    if (IndexOf(id) < 0 || IndexOf(id) >= kControlCount) return;
    Applying guard(applying_);
    Apply(id, aspects);
  }

  // The window follows its content: the Info panel's visibility, which the
  // view-model changes right after, widens or narrows it, keeping its left edge.
  void SetClientSize(int, int) override {}

  void FocusControl(ControlId id) override {
    if (IndexOf(id) >= 0 && IndexOf(id) < kControlCount) gtk_widget_grab_focus(layout_[id].widget);
  }

 private:
  // Marks the time the window applies the view-model's state, so the
  // signals that raises are not taken for the user's actions.
  struct Applying {
    explicit Applying(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~Applying() { flag_ = before_; }
    bool& flag_;
    bool before_;
  };

  GtkRequisition PreferredSize() const {
    GtkRequisition natural{};
    gtk_widget_get_preferred_size(window_, nullptr, &natural);
    return natural;
  }

  void ApplyAll() {
    Applying guard(applying_);
    for (int i = 0; i < kControlCount; ++i) Apply(static_cast<ControlId>(i), kAspectAll);
  }

  void Apply(ControlId id, unsigned aspects) {
    const ControlState& state = dialog_.Control(id);
    const GtkControl& c = layout_[id];
    const ControlKind kind = InfoOf(id).kind;
    if (aspects & kAspectEnabled) gtk_widget_set_sensitive(c.outer, state.enabled);
    if (aspects & kAspectVisible) {
      gtk_widget_set_visible(c.outer, state.visible);
      // A fixed-size window grows with its content but does not shrink by
      // itself: ask for the least, which it rounds up to what it needs.
      gtk_window_resize(GTK_WINDOW(window_), 1, 1);
    }
    if ((aspects & kAspectChecked) && kind == ControlKind::CheckBox) {
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(c.widget), state.checked);
    }
    if (aspects & kAspectItems) ApplyItems(id, state);
    if (aspects & (kAspectItems | kAspectSelection)) ApplySelection(id, state);
    if (aspects & kAspectText) ApplyText(id, state);
    if ((aspects & kAspectColor) && kind == ControlKind::Shape) gtk_widget_queue_draw(c.widget);
  }

  void ApplyItems(ControlId id, const ControlState& state) {
    const GtkControl& c = layout_[id];
    if (InfoOf(id).kind == ControlKind::ListBox) {
      gtk_list_store_clear(c.store);
      for (const std::string& item : state.items) {
        gtk_list_store_insert_with_values(c.store, nullptr, -1, 0, DisplayText(item).c_str(), -1);
      }
    } else if (InfoOf(id).kind == ControlKind::ComboBox) {
      gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(c.widget));
      for (const std::string& item : state.items) {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(c.widget), DisplayText(item).c_str());
      }
    }
  }

  void ApplySelection(ControlId id, const ControlState& state) {
    const GtkControl& c = layout_[id];
    if (InfoOf(id).kind == ControlKind::ComboBox) {
      gtk_combo_box_set_active(GTK_COMBO_BOX(c.widget), state.selected);
      return;
    }
    if (InfoOf(id).kind != ControlKind::ListBox) return;
    GtkTreeView* view = GTK_TREE_VIEW(c.widget);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    if (state.selected < 0 || state.selected >= static_cast<int>(state.items.size())) {
      gtk_tree_selection_unselect_all(selection);
      return;
    }
    GtkTreePath* path = gtk_tree_path_new_from_indices(state.selected, -1);
    gtk_tree_view_set_cursor(view, path, nullptr, FALSE);  // keyboard moves on from the selected line
    gtk_tree_selection_select_path(selection, path);
    if (gtk_widget_get_realized(c.widget)) gtk_tree_view_scroll_to_cell(view, path, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(path);
  }

  void ApplyText(ControlId id, const ControlState& state) {
    const GtkControl& c = layout_[id];
    const ControlInfo& info = InfoOf(id);
    const std::string text = DisplayText(state.text);
    switch (info.kind) {
      case ControlKind::Frame: gtk_frame_set_label(GTK_FRAME(c.widget), text.c_str()); break;
      case ControlKind::Label:
        if (AccessKeyOf(id) != 0) {
          gtk_label_set_text_with_mnemonic(GTK_LABEL(c.widget), MnemonicFromAccessText(text).c_str());
        } else {
          gtk_label_set_text(GTK_LABEL(c.widget), text.c_str());
        }
        break;
      case ControlKind::Button:
        gtk_label_set_text_with_mnemonic(GTK_LABEL(gtk_bin_get_child(GTK_BIN(c.widget))),
                                         MnemonicFromAccessText(SymbolGlyphs(info.font.face, text)).c_str());
        break;
      case ControlKind::TextBox:
        if (info.multiline) {
          const std::string lines = LinesFromCarriageReturns(text);
          gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(c.widget)), lines.c_str(), -1);
        } else {
          gtk_entry_set_text(GTK_ENTRY(c.widget), text.c_str());
        }
        break;
      default: break;
    }
  }

  // ---- Events ----------------------------------------------------------------

  void ConnectEvents() {
    g_signal_connect(window_, "delete-event", G_CALLBACK(&GtkOptionsWindow::OnDelete), this);
    g_signal_connect(window_, "key-press-event", G_CALLBACK(&GtkOptionsWindow::OnWindowKey), this);
    for (int i = 0; i < kControlCount; ++i) {
      const ControlId id = static_cast<ControlId>(i);
      GtkWidget* w = layout_[id].widget;
      Tag(w, id);
      switch (InfoOf(id).kind) {
        case ControlKind::Button: g_signal_connect(w, "clicked", G_CALLBACK(&GtkOptionsWindow::OnClicked), this); break;
        case ControlKind::ComboBox:
          g_signal_connect(w, "changed", G_CALLBACK(&GtkOptionsWindow::OnComboChanged), this);
          break;
        case ControlKind::ListBox: {
          GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(w));
          Tag(selection, id);
          g_signal_connect(selection, "changed", G_CALLBACK(&GtkOptionsWindow::OnListChanged), this);
          break;
        }
        case ControlKind::CheckBox:
          g_signal_connect(w, "toggled", G_CALLBACK(&GtkOptionsWindow::OnToggled), this);
          break;
        case ControlKind::TextBox:
          if (!InfoOf(id).multiline)
            g_signal_connect(w, "changed", G_CALLBACK(&GtkOptionsWindow::OnEntryChanged), this);
          break;
        case ControlKind::Shape: g_signal_connect(w, "draw", G_CALLBACK(&GtkOptionsWindow::OnDrawSwatch), this); break;
        case ControlKind::Label:
          if (AccessKeyOf(id) != 0)
            g_signal_connect(w, "mnemonic-activate", G_CALLBACK(&GtkOptionsWindow::OnLabelAccessKey), this);
          break;
        default: break;
      }
    }
    GtkWidget* picture = layout_[C::Preview].widget;
    g_signal_connect(picture, "key-press-event", G_CALLBACK(&GtkOptionsWindow::OnPictureKey), this);
    g_signal_connect(picture, "button-press-event", G_CALLBACK(&GtkOptionsWindow::OnPicturePress), this);
    g_signal_connect(picture, "focus-in-event", G_CALLBACK(&GtkOptionsWindow::OnPictureFocus), this);
    g_signal_connect(picture, "focus-out-event", G_CALLBACK(&GtkOptionsWindow::OnPictureFocus), this);
    GtkWidget* link = layout_[C::AboutLink].outer;
    g_signal_connect(link, "button-press-event", G_CALLBACK(&GtkOptionsWindow::OnLinkPress), this);
    g_signal_connect(link, "realize", G_CALLBACK(&GtkOptionsWindow::OnLinkRealize), nullptr);
  }

  static GtkOptionsWindow* Self(gpointer data) { return static_cast<GtkOptionsWindow*>(data); }

  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    Self(data)->dialog_.Close();
    return TRUE;
  }
  static void OnClicked(GtkButton* button, gpointer data) {
    if (!Self(data)->applying_) Self(data)->dialog_.OnClick(TagOf(button));
  }
  static void OnComboChanged(GtkComboBox* combo, gpointer data) {
    if (!Self(data)->applying_) Self(data)->dialog_.OnSelect(TagOf(combo), gtk_combo_box_get_active(combo));
  }
  static void OnListChanged(GtkTreeSelection* selection, gpointer data) {
    if (Self(data)->applying_) return;
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    int index = -1;
    if (gtk_tree_selection_get_selected(selection, &model, &iter)) {
      GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
      index = gtk_tree_path_get_indices(path)[0];
      gtk_tree_path_free(path);
    }
    Self(data)->dialog_.OnSelect(TagOf(selection), index);
  }
  static void OnToggled(GtkToggleButton* check, gpointer data) {
    if (!Self(data)->applying_) Self(data)->dialog_.OnCheck(TagOf(check), gtk_toggle_button_get_active(check));
  }
  static void OnEntryChanged(GtkEditable* entry, gpointer data) {
    if (!Self(data)->applying_) Self(data)->dialog_.OnTextChange(TagOf(entry), gtk_entry_get_text(GTK_ENTRY(entry)));
  }

  static gboolean OnDrawSwatch(GtkWidget* area, cairo_t* cr, gpointer data) {
    const std::int32_t color = Self(data)->dialog_.Control(TagOf(area)).color;
    const double width = gtk_widget_get_allocated_width(area), height = gtk_widget_get_allocated_height(area);
    cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
    cairo_set_source_rgb(cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, ((color >> 16) & 0xFF) / 255.0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.45, 0.45, 0.45);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return TRUE;
  }

  // A label's access key only moves the focus: GTK would press a button it
  // leads to (the colour buttons), and spend a press of a shared letter on
  // a label whose control is disabled.
  static gboolean OnLabelAccessKey(GtkWidget* label, gboolean, gpointer data) {
    GtkOptionsWindow* self = Self(data);
    const ControlId target = AccessKeyFocus(AccessKeyOf(TagOf(label)), self->ControlOfFocus().value_or(C::Dialog),
                                            [self](ControlId id) { return self->CanTakeFocus(id); });
    if (target != C::Dialog) gtk_widget_grab_focus(self->layout_[target].widget);
    return TRUE;
  }

  static gboolean OnPictureKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    Self(data)->dialog_.OnKeyDown(C::Preview, VirtualKeyFromGdk(event->keyval), ShiftStateFromGdk(event->state));
    return TRUE;
  }
  static gboolean OnPicturePress(GtkWidget* area, GdkEventButton*, gpointer) {
    gtk_widget_grab_focus(area);
    return FALSE;
  }
  static gboolean OnPictureFocus(GtkWidget* area, GdkEventFocus* event, gpointer data) {
    GtkStyleContext* style = gtk_widget_get_style_context(Self(data)->layout_[C::Preview].outer);
    if (event->in) {
      gtk_style_context_add_class(style, "focused");
    } else {
      gtk_style_context_remove_class(style, "focused");
    }
    gtk_widget_queue_draw(gtk_widget_get_parent(area));
    return FALSE;
  }

  static gboolean OnLinkPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    if (event->type == GDK_2BUTTON_PRESS && event->button == 1) Self(data)->dialog_.OnDoubleClick(C::AboutLink);
    return TRUE;
  }
  static void OnLinkRealize(GtkWidget* box, gpointer) {
    GdkWindow* window = gtk_widget_get_window(box);
    GdkCursor* hand = gdk_cursor_new_from_name(gdk_window_get_display(window), "pointer");
    if (!hand) hand = gdk_cursor_new_for_display(gdk_window_get_display(window), GDK_HAND2);
    gdk_window_set_cursor(window, hand);
    if (hand) g_object_unref(hand);
  }

  static gboolean OnWindowKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    GtkOptionsWindow* self = Self(data);
    const guint mods = event->state & gtk_accelerator_get_default_mod_mask();
    switch (event->keyval) {
      case GDK_KEY_Tab:
      case GDK_KEY_KP_Tab:
      case GDK_KEY_ISO_Left_Tab:
        if (mods & ~GDK_SHIFT_MASK) return FALSE;
        self->MoveFocus(!(mods & GDK_SHIFT_MASK) && event->keyval != GDK_KEY_ISO_Left_Tab);
        return TRUE;
      case GDK_KEY_Return:
      case GDK_KEY_KP_Enter:
      case GDK_KEY_ISO_Enter:
        if (mods != 0 || self->FocusTakesEnter()) return FALSE;
        self->ClickButton(C::Ok);
        return TRUE;
      case GDK_KEY_Escape:
        if (mods != 0) return FALSE;
        self->ClickButton(C::Cancel);
        return TRUE;
      default: return FALSE;
    }
  }

  // ---- Focus -----------------------------------------------------------------

  std::optional<ControlId> ControlOfFocus() const {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
    if (!focus) return std::nullopt;
    for (int i = 0; i < kControlCount; ++i) {
      if (!KindTakesFocus(AllControls()[i].kind)) continue;  // a frame holds the focused control
      GtkWidget* w = layout_.controls[i].widget;
      if (focus == w || gtk_widget_is_ancestor(focus, w)) return static_cast<ControlId>(i);
    }
    return std::nullopt;
  }

  bool CanTakeFocus(ControlId id) const {
    const ControlInfo& info = InfoOf(id);
    GtkWidget* w = layout_[id].widget;
    return info.tab_index >= 0 && KindTakesFocus(info.kind) && gtk_widget_is_sensitive(w) && gtk_widget_is_visible(w);
  }

  // The next (or previous) control in tab order that can take the focus.
  void MoveFocus(bool forward) {
    const std::optional<ControlId> focus = ControlOfFocus();
    int index = focus ? IndexOf(*focus) : (forward ? -1 : kControlCount);
    for (int step = 0; step < kControlCount; ++step) {
      index = (index + (forward ? 1 : kControlCount - 1)) % kControlCount;
      if (CanTakeFocus(static_cast<ControlId>(index))) {
        gtk_widget_grab_focus(layout_.controls[index].widget);
        return;
      }
    }
  }

  // A push button takes Enter itself, and so does the preview; elsewhere
  // Enter means OK.
  bool FocusTakesEnter() const {
    if (ControlOfFocus() == C::Preview) return true;
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window_));
    return focus && GTK_IS_BUTTON(focus) && !GTK_IS_TOGGLE_BUTTON(focus);
  }

  void ClickButton(ControlId id) {
    GtkWidget* button = layout_[id].widget;
    if (gtk_widget_is_sensitive(button) && gtk_widget_is_visible(button)) gtk_button_clicked(GTK_BUTTON(button));
  }

  OptionsDialog& dialog_;
  OptionsLayout layout_;
  GtkWidget* window_ = nullptr;
  std::unique_ptr<GtkPictureBox> picture_;
  bool applying_ = false;
};

}  // namespace

std::unique_ptr<OptionsWindow> CreatePlatformOptionsWindow(OptionsDialog& dialog) {
  return std::make_unique<GtkOptionsWindow>(dialog);
}
