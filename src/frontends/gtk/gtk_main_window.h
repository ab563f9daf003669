#pragma once
// The launcher's one window on GTK: undecorated, at the screen origin, its
// outline cut from the key colour of the background bitmap; the skinned
// controls drawn on a drawing area, the web panel a native widget on top.
#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "frontends/gtk/owned.h"
#include "platform/seam.h"
#include "ui/controls_window.h"
#include "ui/dialog_controls.h"

namespace frontends::gtk {

class CairoCanvas;
class GtkWebPanel;

class GtkMainWindow : public ui::ControlsWindow, public ui::SurfaceHost {
 public:
  // `onCommand` receives button clicks; `onClosed` runs when the window
  // manager closes the window; `onFirstFrame` runs once, when the first
  // frame with the skin is drawn and out to the screen, or after a while
  // when no frame is drawn (a window that starts minimised).
  GtkMainWindow(GtkWebPanel& webPanel, std::function<void(int)> onCommand, std::function<void()> onClosed,
                std::function<void()> onFirstFrame);
  ~GtkMainWindow() override;
  GtkMainWindow(const GtkMainWindow&) = delete;
  GtkMainWindow& operator=(const GtkMainWindow&) = delete;

  GtkWindow* Widget() const { return GTK_WINDOW(window_.get()); }
  // Takes the window off the screen at once: what the launcher still does
  // before it ends (waiting for an unpack to stop, putting files back)
  // happens without a window that no longer answers.
  void Withdraw();
  ui::DialogControls& Controls() { return controls_; }

  // platform::Window (the controls' part is ControlsWindow's)
  void PlaceControl(int id, const platform::Rect& rect, bool visible) override;
  void SetCaption(const std::string& caption) override;
  void SetIcon(int iconResource) override;
  void Minimise() override;
  void BringToFront() override;

  // ui::SurfaceHost
  void InvalidateArea(const platform::Rect& area) override;
  void RepaintAreaNow(const platform::Rect& area) override;
  void ControlClicked(int id) override;

 private:
  static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
  static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
  static gboolean OnLeave(GtkWidget* widget, GdkEventCrossing* event, gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer self);
  static void OnDragDataReceived(GtkWidget* widget, GdkDragContext* context, gint x, gint y,
                                 GtkSelectionData* data, guint info, guint time, gpointer self);
  static gboolean OnFirstFrameDrawn(gpointer self);
  static gboolean OnFirstFrameOverdue(gpointer self);
  void TellFirstFrame();
  void ApplyColourKeyShape();

  GtkWebPanel& webPanel_;
  std::function<void(int)> onCommand_;
  std::function<void()> onClosed_;
  std::function<void()> onFirstFrame_;
  bool drawn_ = false;
  bool firstFrameTold_ = false;
  // The pending sources of the notice: after the first draw, or overdue.
  guint firstFrameNotice_ = 0;
  guint firstFrameDeadline_ = 0;
  ui::DialogControls controls_;
  std::unique_ptr<CairoCanvas> backing_;  // the window's pixels, repainted on demand
  // Destroyed first of all, with its children.
  TopLevelWidget window_{gtk_window_new(GTK_WINDOW_TOPLEVEL)};
  GtkWidget* layout_ = nullptr;       // owned by the window
  GtkWidget* drawingArea_ = nullptr;  // owned by the window
};

}  // namespace frontends::gtk
