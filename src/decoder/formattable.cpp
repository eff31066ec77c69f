#include "formattable.h"

#include "bitmapformats.h"
#include "heifdecoder.h"
#include "jpegdecoder.h"
#include "jxldecoder.h"
#include "pictureformat.h"
#include "pngdecoder.h"
#include "webpdecoder.h"

#include <algorithm>
#include <array>

namespace tilmora {

namespace {

const auto& formats()
{
    static const std::array<const PictureFormat*, 8> table{&pngFormat(),  &jpegFormat(), &gifFormat(),
                                                           &bmpFormat(),  &webpFormat(), &iconFormat(),
                                                           &heifFormat(), &jxlFormat()};
    return table;
}

} // namespace

const PictureFormat* formatOf(QByteArrayView head)
{
    const auto& table = formats();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const PictureFormat* format) { return format->recognises(head); });
    return found != table.end() ? *found : nullptr;
}

bool opensFormatNamed(QByteArrayView name)
{
    const auto& table = formats();
    return std::any_of(table.begin(), table.end(),
                       [&](const PictureFormat* format) { return format->name() == name; });
}

} // namespace tilmora
