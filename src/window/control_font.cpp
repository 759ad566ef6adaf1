#include "window/control_font.h"

#include "window/twips.h"

namespace keldo {

GdiObject CreateControlFont(int centiPoints, UINT dpi) {
  return GdiObject(CreateFontW(FontHeight(centiPoints, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                               FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial"));
}

}  // namespace keldo
