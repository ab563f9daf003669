#include "frontends/gtk/gtk_main_window.h"

#include <gdk/gdkkeysyms.h>

#include <utility>

#include "frontends/gtk/cairo_canvas.h"
#include "frontends/gtk/gtk_text.h"
#include "frontends/gtk/gtk_web_panel.h"
#include "res/resources.h"
#include "ui/image_resources.h"

namespace frontends::gtk {
namespace {

constexpr platform::Colour kColourKey = platform::Rgb(204, 204, 204);
// A first frame takes a few hundred milliseconds at most; a window that
// draws none by then (minimised) still gets what waits for it.
constexpr guint kFirstFrameDeadlineMs = 2000;

const res::DialogTemplate& MainDialog() { return *res::FindDialogTemplate(res::kMainDialogTemplate); }

// The part of the background that is not key-coloured, as a region.
CairoRegion OpaqueRegion(const platform::Bitmap& background) {
  CairoRegion region(cairo_region_create());
  for (int y = 0; y < background.height; ++y) {
    int x = 0;
    while (x < background.width) {
      while (x < background.width && background.PixelAt(x, y) == kColourKey) {
        ++x;
      }
      const int start = x;
      while (x < background.width && background.PixelAt(x, y) != kColourKey) {
        ++x;
      }
      if (x > start) {
        const cairo_rectangle_int_t run{start, y, x - start, 1};
        cairo_region_union_rectangle(region.get(), &run);
      }
    }
  }
  return region;
}

GObjectRef<GdkPixbuf> IconPixbuf(int iconResource) {
  const std::optional<res::ResourceBytes> bytes = res::FindResource(iconResource, res::kTypeIcon);
  if (!bytes) {
    return nullptr;
  }
  const GObjectRef<GdkPixbufLoader> loader(gdk_pixbuf_loader_new_with_type("ico", nullptr));
  if (!loader) {
    return nullptr;
  }
  if (!gdk_pixbuf_loader_write(loader.get(), bytes->data, bytes->size, nullptr)) {
    gdk_pixbuf_loader_close(loader.get(), nullptr);
    return nullptr;
  }
  if (!gdk_pixbuf_loader_close(loader.get(), nullptr)) {
    return nullptr;
  }
  // The loader keeps its own reference; the icon takes one of its own.
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  return GObjectRef<GdkPixbuf>(pixbuf != nullptr ? GDK_PIXBUF(g_object_ref(pixbuf)) : nullptr);
}

}  // namespace

GtkMainWindow::GtkMainWindow(GtkWebPanel& webPanel, std::function<void(int)> onCommand,
                             std::function<void()> onClosed, std::function<void()> onFirstFrame)
    : ControlsWindow(controls_),
      webPanel_(webPanel),
      onCommand_(std::move(onCommand)),
      onClosed_(std::move(onClosed)),
      onFirstFrame_(std::move(onFirstFrame)),
      controls_(MainDialog(), *this) {
  const res::DialogTemplate& dialog = MainDialog();
  gtk_window_set_decorated(Widget(), FALSE);
  gtk_window_set_resizable(Widget(), FALSE);
  gtk_window_set_default_size(Widget(), dialog.width, dialog.height);
  gtk_window_move(Widget(), 0, 0);
  gtk_window_set_title(Widget(), "");

  // A layout, unlike a fixed container, asks for its own size only: a
  // child wanting more (the web view asks for its page's size) cannot grow
  // the window, which GTK sizes to what its content asks for.
  layout_ = gtk_layout_new(nullptr, nullptr);
  gtk_widget_set_size_request(layout_, dialog.width, dialog.height);
  gtk_container_add(GTK_CONTAINER(Widget()), layout_);
  drawingArea_ = gtk_drawing_area_new();
  gtk_widget_set_size_request(drawingArea_, dialog.width, dialog.height);
  gtk_widget_add_events(drawingArea_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                          GDK_LEAVE_NOTIFY_MASK);
  gtk_layout_put(GTK_LAYOUT(layout_), drawingArea_, 0, 0);
  for (const res::DialogItem& item : dialog.items) {
    if (item.id == platform::controls::NewsPanel) {
      webPanel_.Place(GTK_LAYOUT(layout_), item.rect, (item.style & res::style::kVisible) != 0);
    }
  }

  // Files dropped on a label become its picture.
  GtkTargetEntry uriList{const_cast<gchar*>("text/uri-list"), 0, 0};
  gtk_drag_dest_set(drawingArea_, GTK_DEST_DEFAULT_ALL, &uriList, 1, GDK_ACTION_COPY);

  g_signal_connect(drawingArea_, "draw", G_CALLBACK(OnDraw), this);
  g_signal_connect(drawingArea_, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(drawingArea_, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  g_signal_connect(drawingArea_, "motion-notify-event", G_CALLBACK(OnMotion), this);
  g_signal_connect(drawingArea_, "leave-notify-event", G_CALLBACK(OnLeave), this);
  g_signal_connect(drawingArea_, "drag-data-received", G_CALLBACK(OnDragDataReceived), this);
  g_signal_connect(window_.get(), "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(window_.get(), "delete-event", G_CALLBACK(OnDelete), this);

  backing_ = std::make_unique<CairoCanvas>(dialog.width, dialog.height);
  firstFrameDeadline_ = g_timeout_add(kFirstFrameDeadlineMs, OnFirstFrameOverdue, this);

  ApplyColourKeyShape();
  gtk_widget_show_all(window_.get());
  gtk_window_move(Widget(), 0, 0);
}

GtkMainWindow::~GtkMainWindow() {
  for (const guint pending : {firstFrameNotice_, firstFrameDeadline_}) {
    if (pending != 0) g_source_remove(pending);
  }
  // The web panel outlives the window: it leaves the layout before the
  // window and its children are destroyed.
  GtkWidget* web = webPanel_.Widget();
  if (web != nullptr && gtk_widget_get_parent(web) != nullptr) {
    gtk_container_remove(GTK_CONTAINER(layout_), web);
  }
}

void GtkMainWindow::Withdraw() {
  gtk_widget_hide(window_.get());
  // The main loop may not run again to send the request.
  gdk_display_flush(gtk_widget_get_display(window_.get()));
}

void GtkMainWindow::ApplyColourKeyShape() {
  for (const res::DialogItem& item : MainDialog().items) {
    if (item.kind != res::ControlKind::BackgroundBitmap) {
      continue;
    }
    // The key colour is neither drawn nor clickable: it is outside the
    // window's bounding and input shapes.
    const CairoRegion region = OpaqueRegion(ui::LoadBitmapResource(item.bitmapResource));
    cairo_region_translate(region.get(), item.rect.left, item.rect.top);
    gtk_widget_shape_combine_region(window_.get(), region.get());
    gtk_widget_input_shape_combine_region(window_.get(), region.get());
  }
}

gboolean GtkMainWindow::OnDraw(GtkWidget*, cairo_t* cr, gpointer self) {
  auto* window = static_cast<GtkMainWindow*>(self);
  GdkRectangle clip;
  if (!gdk_cairo_get_clip_rectangle(cr, &clip)) {
    return TRUE;
  }
  const platform::Rect area{clip.x, clip.y, clip.x + clip.width, clip.y + clip.height};
  CairoCanvas& canvas = *window->backing_;
  canvas.PushClip(area);
  window->controls_.Paint(canvas, area);
  canvas.PopClip();
  cairo_surface_flush(canvas.Surface());
  cairo_set_source_surface(cr, canvas.Surface(), 0, 0);
  cairo_paint(cr);
  if (!window->drawn_) {
    window->drawn_ = true;
    // Told once this frame is done and flushed to the X server: after the
    // redraw's priority.
    window->firstFrameNotice_ = g_idle_add_full(G_PRIORITY_LOW, OnFirstFrameDrawn, window, nullptr);
  }
  return TRUE;
}

gboolean GtkMainWindow::OnFirstFrameDrawn(gpointer self) {
  auto* window = static_cast<GtkMainWindow*>(self);
  window->firstFrameNotice_ = 0;
  window->TellFirstFrame();
  return G_SOURCE_REMOVE;
}

gboolean GtkMainWindow::OnFirstFrameOverdue(gpointer self) {
  auto* window = static_cast<GtkMainWindow*>(self);
  window->firstFrameDeadline_ = 0;
  window->TellFirstFrame();
  return G_SOURCE_REMOVE;
}

void GtkMainWindow::TellFirstFrame() {
  if (!std::exchange(firstFrameTold_, true)) onFirstFrame_();
}

gboolean GtkMainWindow::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
  auto* window = static_cast<GtkMainWindow*>(self);
  // A double click arrives as a second plain press followed by this one.
  if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY) {
    return TRUE;
  }
  const int x = static_cast<int>(event->x);
  const int y = static_cast<int>(event->y);
  if (!window->controls_.ButtonPress(x, y)) {
    // The background and the labels are the window's caption.
    gtk_window_begin_move_drag(window->Widget(), static_cast<gint>(event->button), static_cast<gint>(event->x_root),
                               static_cast<gint>(event->y_root), event->time);
  }
  return TRUE;
}

gboolean GtkMainWindow::OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self) {
  if (event->button == GDK_BUTTON_PRIMARY) {
    static_cast<GtkMainWindow*>(self)->controls_.ButtonRelease(static_cast<int>(event->x), static_cast<int>(event->y));
  }
  return TRUE;
}

gboolean GtkMainWindow::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self) {
  static_cast<GtkMainWindow*>(self)->controls_.PointerMoved(static_cast<int>(event->x), static_cast<int>(event->y));
  return TRUE;
}

gboolean GtkMainWindow::OnLeave(GtkWidget*, GdkEventCrossing* event, gpointer self) {
  // While a button holds the pointer, GTK's implicit grab keeps motion
  // coming; only a real leave clears the hover.
  if (event->mode == GDK_CROSSING_NORMAL) {
    static_cast<GtkMainWindow*>(self)->controls_.PointerLeftWindow();
  }
  return TRUE;
}

gboolean GtkMainWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer) {
  // Enter and Escape are swallowed, as the original dialog's key filter does.
  return event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter || event->keyval == GDK_KEY_Escape;
}

gboolean GtkMainWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
  static_cast<GtkMainWindow*>(self)->onClosed_();
  return TRUE;  // the loop ends; the window goes with the platform
}

void GtkMainWindow::OnDragDataReceived(GtkWidget*, GdkDragContext*, gint x, gint y, GtkSelectionData* data, guint,
                                       guint, gpointer self) {
  const GlibTextList uris(gtk_selection_data_get_uris(data));
  if (!uris) {
    return;
  }
  std::vector<std::string> paths;
  for (gchar** uri = uris.get(); *uri != nullptr; ++uri) {
    const GlibText path(g_filename_from_uri(*uri, nullptr, nullptr));
    paths.push_back(path ? path.get() : *uri);
  }
  static_cast<GtkMainWindow*>(self)->controls_.DropFiles(x, y, paths);
}

void GtkMainWindow::PlaceControl(int id, const platform::Rect& rect, bool visible) {
  if (id == platform::controls::NewsPanel) {
    webPanel_.Place(GTK_LAYOUT(layout_), rect, visible);
  }
  controls_.PlaceControl(id, rect, visible);
}

void GtkMainWindow::SetCaption(const std::string& caption) { gtk_window_set_title(Widget(), ToUtf8(caption).c_str()); }

void GtkMainWindow::SetIcon(int iconResource) {
  if (const GObjectRef<GdkPixbuf> icon = IconPixbuf(iconResource)) {
    gtk_window_set_icon(Widget(), icon.get());
  }
}

void GtkMainWindow::Minimise() { gtk_window_iconify(Widget()); }

// Presenting also restores a minimised window.
void GtkMainWindow::BringToFront() { gtk_window_present(Widget()); }

void GtkMainWindow::InvalidateArea(const platform::Rect& area) {
  if (area.Width() > 0 && area.Height() > 0) {
    gtk_widget_queue_draw_area(drawingArea_, area.left, area.top, area.Width(), area.Height());
  }
}

void GtkMainWindow::RepaintAreaNow(const platform::Rect& area) {
  // GTK paints on the next frame; the repaint draws the background before
  // the label, which is what the immediate repaint is for.
  InvalidateArea(area);
}

void GtkMainWindow::ControlClicked(int id) { onCommand_(id); }

}  // namespace frontends::gtk
