#include "shell/DrawnImages.h"

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
  list.AddStripResource(image.resourceId, IMAGE_KEY_COLORREF);
}

}  // namespace lexmora
