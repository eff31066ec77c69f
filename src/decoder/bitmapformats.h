#pragma once

// The loader's entries for the formats Qt's own readers decode whole, with the checks they need
// first: BMP (a file cut short), Windows icons (the largest picture, a directory believed only as
// far as the file holds it) and GIF (a lower limit on its declared size).

namespace tilmora {

class PictureFormat;

[[nodiscard]] const PictureFormat& bmpFormat();
[[nodiscard]] const PictureFormat& iconFormat();
[[nodiscard]] const PictureFormat& gifFormat();

} // namespace tilmora
