#pragma once

// JPEG XL pictures, read by libjxl. Only the decoder helper reads them: one more parser of bytes from
// anywhere stays behind its wall. The loader's entry for them lives here.
//
// The picture's declared size is checked against the game's limits before anything is decoded;
// libjxl turns and mirrors it as its header says, once. A picture stored in libjxl's own colour
// space (a lossy one) is converted to sRGB by libjxl as it is decoded; one stored in its original
// colours is marked with them (a colour encoding or an ICC profile), which the loader converts.
// Transparency is kept for the loader to lay on black, and an animation shows its first frame.

namespace tilmora {

class PictureFormat;

// The loader's entry for JPEG XL, as a bare codestream or in its container.
[[nodiscard]] const PictureFormat& jxlFormat();

} // namespace tilmora
