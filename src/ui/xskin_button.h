#pragma once
// CxSkinButton: a push button drawn entirely from images, with hover,
// pressed and held-with-capture states.
#include <string_view>

#include "ui/control.h"

namespace ui {

// The platform's button-face colour, drawn where a state has no image.
constexpr platform::Colour kButtonFace = platform::Rgb(240, 240, 240);

class CxSkinButton : public Control {
 public:
  enum DrawMode : short { kNaturalSize = 0, kStretch = 1, kTile = 2 };

  CxSkinButton(int id, ControlHost& host, const platform::Rect& rect, bool visible);

  // Replaces all images. Ids of 0 load nothing; a missing disabled image is
  // taken from the normal id. Resource type "PNG" decodes PNG resources,
  // anything else bitmap resources. A mask id is accepted and unused.
  void SetSkin(int normal, int pressed, int hover, int disabled, int focus, int mask, short drawMode,
               short border, int focusMargin, std::string_view resourceType);

  int GetCheck() const { return checked_; }  // BM_GETCHECK
  void SetCheck(int state);                  // BM_SETCHECK: a push button stays unchecked
  void Enable(bool enabled);

  void Draw(platform::Canvas& canvas) override;
  bool TakesMouse() const override { return true; }
  void OnMouseMove() override;
  void OnMouseLeave() override;
  void OnLButtonDown() override;
  void OnLButtonUp() override;
  void OnLButtonDblClk() override;
  void OnKillFocus() override;
  bool HasCapture() const override { return capture_; }

  // States as the platform's draw-item record would report them.
  bool Pushed() const { return pushed_; }
  bool Hovering() const { return hovering_; }
  bool Held() const { return held_; }

 private:
  // While held: the pressed look follows the pointer in and out. True when
  // the pushed state changed.
  bool FollowPointerWhileHeld();
  void DrawImage(platform::Canvas& canvas, const platform::Bitmap& image, const platform::Rect& rect);
  void DrawEdge(platform::Canvas& canvas, const platform::Rect& rect, bool sunken);
  void DrawFocusRect(platform::Canvas& canvas, const platform::Rect& rect);

  platform::Bitmap normal_;
  platform::Bitmap pressed_;
  platform::Bitmap hover_;
  platform::Bitmap disabled_;
  platform::Bitmap focus_;
  short drawMode_ = kStretch;
  short border_ = 0;
  int focusMargin_ = 0;
  bool checked_ = false;
  bool hovering_ = false;
  bool held_ = false;
  // The platform button's own state.
  bool pushed_ = false;
  bool capture_ = false;
  bool focused_ = false;
  bool enabled_ = true;
};

}  // namespace ui
