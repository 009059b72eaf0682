#pragma once
// The decoder duduri-pack hands the core for pictures other than JPEG and
// BMP: Qt's image readers where the player is built, else none (such
// pictures are then refused with a message that says so).

#include "shell/UserPictures.h"

namespace duduri::pack {

TPictureDecoder toolPictureDecoder();

}  // namespace duduri::pack
