// Builds without libjpeg (Windows): JPEG images are decoded by a decoder the shell hands to
// CPlayer, which wraps the platform's own codec.
#include "player/core/Bitmap.h"

namespace player {

IJpegDecoder* DefaultJpegDecoder() { return nullptr; }

}  // namespace player
