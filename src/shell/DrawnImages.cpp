#include "shell/DrawnImages.h"

#include "base/Handle.h"
#include "ui/Application.h"
#include "ui/Dpi.h"

namespace lexmora {

const TDrawnImage& ImageForDpi(std::span<const TDrawnImage> sizes, int dpi) noexcept {
  const int room = ScaleToDpi(sizes.front().width, dpi);
  const TDrawnImage* best = &sizes.front();
  for (const TDrawnImage& image : sizes) {
    if (image.width <= room)
      best = &image;
  }
  return *best;
}

void LoadDrawnImages(TImageList& list, const TDrawnImage& image) {
  list.Create(image.width, image.height);
  GdiObject strip(LoadImageW(Application().Instance(), MAKEINTRESOURCEW(image.resourceId),
                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (strip)
    list.AddStrip(static_cast<HBITMAP>(strip.Get()), IMAGE_KEY_COLORREF);
}

}  // namespace lexmora
