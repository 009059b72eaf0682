#include "ToolPictures.h"

#if DUDURI_QT_PICTURES
#include "shell/ui/QtPictureReader.h"
#endif

namespace duduri::pack {

TPictureDecoder toolPictureDecoder() {
#if DUDURI_QT_PICTURES
  return DecodeWithQt;
#else
  return {};
#endif
}

}  // namespace duduri::pack
