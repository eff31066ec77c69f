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

// The order is the order of asking, and the first entry that recognises a file takes it. Each test
// is exact enough that no file of one format passes another's (the loosest, the icon's, fails on
// every HEIF and JPEG XL file by the bytes of its first box), so the order decides nothing for a
// real file: the common formats come first only so that a photo is recognised after a comparison
// or two. A new entry whose test could pass another format's files goes after that format.
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

QByteArrayList openedFormatNames()
{
    QByteArrayList names;
    for (const PictureFormat* format : formats())
        names << format->name();
    return names;
}

void prepareEveryFormatBeforeWall()
{
    for (const PictureFormat* format : formats())
        format->prepareBeforeWall();
}

} // namespace tilmora
