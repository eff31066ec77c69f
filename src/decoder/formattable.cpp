#include "formattable.h"

#include "bitmapformats.h"
#include "heifdecoder.h"
#include "jpegdecoder.h"
#include "pictureformat.h"
#include "pngdecoder.h"
#include "webpdecoder.h"

#include <algorithm>
#include <array>

namespace tilmora {

namespace {

// A kind of picture recognised only to be named in the message, as its signature shows it.
class KindNotOpened : public PictureFormat
{
public:
    using Recognises = bool (*)(QByteArrayView head);
    KindNotOpened(const char* kind, Recognises signature)
        : kind_(kind)
        , recognises_(signature)
    {}
    QByteArray name() const override { return kind_; }
    bool recognises(QByteArrayView head) const override { return recognises_(head); }
    bool opens() const override { return false; }

private:
    const char* kind_;
    Recognises recognises_;
};

// A bare codestream, or the container's signature box.
bool isJpegXl(QByteArrayView head)
{
    return head.startsWith("\xff\x0a") || head.startsWith(QByteArrayView("\0\0\0\x0cJXL \r\n\x87\n", 12));
}

const auto& formats()
{
    static const KindNotOpened jpegXl("JPEG XL", isJpegXl);
    static const std::array<const PictureFormat*, 8> table{&pngFormat(),  &jpegFormat(), &gifFormat(),
                                                           &bmpFormat(),  &webpFormat(), &iconFormat(),
                                                           &heifFormat(), &jpegXl};
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
    return std::any_of(table.begin(), table.end(), [&](const PictureFormat* format) {
        return format->opens() && format->name() == name;
    });
}

} // namespace tilmora
