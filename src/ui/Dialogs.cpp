#include "ui/Dialogs.h"

#include <commdlg.h>

#include "base/Errors.h"
#include "base/Text.h"

namespace lexmora {

namespace {

int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
}

LOGFONTW LogFontFor(const TFontSpec& desc) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(desc.size, ScreenPixelsPerInch(), 72);
  lf.lfWeight = desc.weight;
  lf.lfItalic = desc.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  ToWide(desc.name).copy(lf.lfFaceName, LF_FACESIZE - 1);
  return lf;
}

}  // namespace

GdiObject CreateFontFromSpec(const TFontSpec& desc) {
  LOGFONTW lf = LogFontFor(desc);
  GdiObject font(CreateFontIndirectW(&lf));
  if (!font)
    throw Exception("Cannot create font " + desc.name);
  return font;
}

TFontSpec DescribeFont(HFONT font) {
  LOGFONTW lf{};
  TFontSpec desc;
  if (font == nullptr || GetObjectW(font, sizeof(lf), &lf) == 0)
    return desc;
  desc.name = ToAnsi(lf.lfFaceName);
  int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  desc.size = MulDiv(height, 72, ScreenPixelsPerInch());
  desc.weight = lf.lfWeight;
  desc.italic = lf.lfItalic != 0;
  return desc;
}

bool TFontDialog::Execute(HWND owner) {
  LOGFONTW lf = LogFontFor(Font);
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = owner;
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FORCEFONTEXIST | CF_LIMITSIZE;
  cf.nSizeMin = MinSize;
  cf.nSizeMax = MaxSize;
  if (!ChooseFontW(&cf))
    return false;
  Font.name = ToAnsi(lf.lfFaceName);
  Font.size = (cf.iPointSize + 5) / 10;
  Font.weight = lf.lfWeight;
  Font.italic = lf.lfItalic != 0;
  return true;
}

}  // namespace lexmora
