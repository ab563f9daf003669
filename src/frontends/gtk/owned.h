#pragma once
// Owning handles for what the window front end gets from GLib, GObject,
// GTK, cairo and Pango: each object is released when its owner goes away,
// with the release call its library asks for, never by hand.
#include <cairo.h>
#include <gtk/gtk.h>
#include <pango/pango.h>

#include <memory>
#include <utility>

namespace frontends::gtk {

template <auto Release>
struct Releaser {
  template <typename T>
  void operator()(T* object) const {
    Release(object);
  }
};

// `T*` released by `Release`.
template <typename T, auto Release>
using Owned = std::unique_ptr<T, Releaser<Release>>;

// One reference to a GObject (a Pango layout or context, a pixbuf, a web
// view, a JavaScript value ...).
template <typename T>
using GObjectRef = Owned<T, g_object_unref>;

using CairoSurface = Owned<cairo_surface_t, cairo_surface_destroy>;
using CairoContext = Owned<cairo_t, cairo_destroy>;
using CairoRegion = Owned<cairo_region_t, cairo_region_destroy>;
using FontDescription = Owned<PangoFontDescription, pango_font_description_free>;
using FontMetrics = Owned<PangoFontMetrics, pango_font_metrics_unref>;
using MainLoop = Owned<GMainLoop, g_main_loop_unref>;
using GlibText = Owned<gchar, g_free>;
using GlibTextList = Owned<gchar*, g_strfreev>;

inline void DestroyWidget(GtkWidget* widget) { gtk_widget_destroy(widget); }
// A top-level widget (a window, a dialog): destroyed with its children.
using TopLevelWidget = Owned<GtkWidget, DestroyWidget>;

// A GLib event source (a timer) attached to the main context: removed when
// its owner goes away.
class EventSource {
 public:
  explicit EventSource(guint id) : id_(id) {}
  ~EventSource() {
    if (id_ != 0) g_source_remove(id_);
  }
  EventSource(EventSource&& other) noexcept : id_(std::exchange(other.id_, 0)) {}
  EventSource& operator=(EventSource&&) = delete;
  EventSource(const EventSource&) = delete;
  EventSource& operator=(const EventSource&) = delete;

 private:
  guint id_;
};

}  // namespace frontends::gtk
