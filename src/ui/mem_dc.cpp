#include "ui/mem_dc.h"

namespace ui {

CMemDC::CMemDC(platform::Canvas& target, std::optional<platform::Rect> rect, bool copyBackground)
    : target_(target), rect_(rect ? *rect : target.ClipBox()) {
  surface_ = target_.CreateSurface(rect_.Width(), rect_.Height());
  surface_->SetOrigin(-rect_.left, -rect_.top);
  if (copyBackground) {
    surface_->CopyImage(target_.Snapshot(rect_), 0, 0, rect_);
  } else {
    surface_->Fill(rect_, target_.BackgroundColour());
  }
}

CMemDC::~CMemDC() { target_.CopyImage(surface_->Snapshot(rect_), 0, 0, rect_); }

void CMemDC::SetOrigin(int x, int y) { surface_->SetOrigin(x - rect_.left, y - rect_.top); }

void CMemDC::PushClip(const platform::Rect& rect) { surface_->PushClip(rect); }

void CMemDC::PopClip() { surface_->PopClip(); }

platform::Rect CMemDC::ClipBox() { return surface_->ClipBox(); }

void CMemDC::CopyImage(const platform::Bitmap& image, int sourceX, int sourceY, const platform::Rect& dest) {
  surface_->CopyImage(image, sourceX, sourceY, dest);
}

void CMemDC::StretchImage(const platform::Bitmap& image, const platform::Rect& source, const platform::Rect& dest,
                          std::optional<platform::Colour> transparent) {
  surface_->StretchImage(image, source, dest, transparent);
}

void CMemDC::Fill(const platform::Rect& rect, platform::Colour colour) { surface_->Fill(rect, colour); }

platform::Colour CMemDC::BackgroundColour() { return target_.BackgroundColour(); }

int CMemDC::TextWidth(const platform::Font& font, const std::string& text) { return surface_->TextWidth(font, text); }

int CMemDC::LineHeight(const platform::Font& font) { return surface_->LineHeight(font); }

void CMemDC::DrawString(const platform::Font& font, platform::Colour colour, const platform::Rect& rect,
                      const std::string& text, platform::TextAlign align, bool verticalCentre) {
  surface_->DrawString(font, colour, rect, text, align, verticalCentre);
}

platform::Bitmap CMemDC::Snapshot(const platform::Rect& rect) { return surface_->Snapshot(rect); }

std::unique_ptr<platform::Canvas> CMemDC::CreateSurface(int width, int height) {
  return surface_->CreateSurface(width, height);
}

}  // namespace ui
