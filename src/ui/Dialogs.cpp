#include "ui/Dialogs.h"

#include <commdlg.h>

#include "base/Errors.h"
#include "base/Text.h"
#include "ui/Dpi.h"

namespace lexmora {

namespace {

LOGFONTW LogFontFor(const TFontSpec& desc, int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(desc.size, dpi > 0 ? dpi : ScreenDpi(), 72);
  lf.lfWeight = desc.weight;
  lf.lfItalic = desc.italic ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  ToWide(desc.name).copy(lf.lfFaceName, LF_FACESIZE - 1);
  return lf;
}

}  // namespace

GdiObject CreateFontFromSpec(const TFontSpec& desc, int dpi) {
  LOGFONTW lf = LogFontFor(desc, dpi);
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
  desc.size = MulDiv(height, 72, ScreenDpi());
  desc.weight = lf.lfWeight;
  desc.italic = lf.lfItalic != 0;
  return desc;
}

bool TFontDialog::Execute(HWND owner) {
  LOGFONTW lf = LogFontFor(Font, 0);
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
