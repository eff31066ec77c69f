#include "decoderprotocol.h"

#include "fitpicture.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace tilmora {

namespace {

constexpr qsizetype kKindLength = sizeof(AnswerHeader::kind) - 1;

// A kind of picture as the loader names one: "SVG", "12-bit JPEG"; never a sentence or an address.
bool isKindName(const char* kind)
{
    const auto length = static_cast<qsizetype>(qstrnlen(kind, sizeof(AnswerHeader::kind)));
    return length > 0 && length <= kKindLength && std::all_of(kind, kind + length, [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == ' ';
           });
}

// One request as it travels: its bytes, and room for the one descriptor passed along with them.
struct RequestMessage {
    RequestMessage()
    {
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
    }
    RequestMessage(const RequestMessage&) = delete;
    RequestMessage& operator=(const RequestMessage&) = delete;
    RequestMessage(RequestMessage&&) = delete;
    RequestMessage& operator=(RequestMessage&&) = delete;
    ~RequestMessage() = default;

    DecodeRequest request;
    iovec data{&request, sizeof request};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
};

} // namespace

bool sendRequest(int socket, int file, qreal devicePixelRatio)
{
    RequestMessage sent;
    sent.request = DecodeRequest{kRequestMagic, 0, devicePixelRatio};
    cmsghdr* header = CMSG_FIRSTHDR(&sent.message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &file, sizeof file);
    return ::sendmsg(socket, &sent.message, MSG_NOSIGNAL | MSG_DONTWAIT) == sizeof sent.request;
}

std::optional<ReceivedRequest> receiveRequest(int socket)
{
    RequestMessage received;
    ssize_t got = -1;
    do
        got = ::recvmsg(socket, &received.message, MSG_CMSG_CLOEXEC | MSG_WAITALL);
    while (got < 0 && errno == EINTR);
    const cmsghdr* header = CMSG_FIRSTHDR(&received.message);
    if (header == nullptr || header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS ||
        header->cmsg_len != CMSG_LEN(sizeof(int)))
        return std::nullopt;
    int descriptor = -1;
    std::memcpy(&descriptor, CMSG_DATA(header), sizeof descriptor);
    FileDescriptor file(descriptor); // closed if the rest is nonsense
    if (got != sizeof received.request || received.request.magic != kRequestMagic)
        return std::nullopt;
    return ReceivedRequest{std::move(file), received.request.devicePixelRatio};
}

AnswerHeader answerHeaderFor(const LoadResult& result)
{
    AnswerHeader header;
    header.magic = kAnswerMagic;
    if (const auto* picture = std::get_if<LoadedPicture>(&result)) {
        header.width = picture->fitted.width();
        header.height = picture->fitted.height();
        header.naturalWidth = picture->naturalSize.width();
        header.naturalHeight = picture->naturalSize.height();
        header.format = picture->fitted.format();
        header.devicePixelRatio = picture->fitted.devicePixelRatio();
        return header;
    }
    const auto& refusal = std::get<Refusal>(result);
    header.refused = 1;
    header.reason = refusal.reason;
    header.width = refusal.size.width();
    header.height = refusal.size.height();
    header.limit = refusal.limit;
    std::memcpy(header.kind, refusal.kind.constData(),
                static_cast<std::size_t>(std::min(refusal.kind.size(), kKindLength)));
    return header;
}

namespace {

bool writeAll(int socket, const void* bytes, qsizetype count)
{
    const auto* at = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t written = ::write(socket, at, static_cast<std::size_t>(count));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        at += written;
        count -= written;
    }
    return true;
}

} // namespace

bool sendAnswer(int socket, const LoadResult& result)
{
    const AnswerHeader header = answerHeaderFor(result);
    if (!writeAll(socket, &header, sizeof header))
        return false;
    if (header.refused != 0)
        return true;
    const QImage& fitted = std::get<LoadedPicture>(result).fitted;
    // RGB32 rows are whole words: packed as they lie, as the game's reader takes them in.
    return writeAll(socket, fitted.constBits(), fitted.sizeInBytes());
}

AnswerReader::AnswerReader(qreal devicePixelRatio)
    : requestedRatio_(renderedPixelRatio(devicePixelRatio))
{}

// Only what the loader could have made: a picture within the pixel limit, fitted to the play area
// at the ratio asked for; or a refusal the helper can make, with the values its sentence names.
bool AnswerReader::headerIsBelievable() const
{
    const AnswerHeader& h = header_;
    if (h.magic != kAnswerMagic || h.refused > 1)
        return false;
    if (h.refused == 1) {
        using enum Refusal::Reason;
        const bool sized = h.width > 0 && h.height > 0;
        switch (h.reason) {
        case KindNotOpened:
            return isKindName(h.kind);
        case TooManyPixels:
            return sized && (h.limit == kMaxSourcePixels || h.limit == kMaxGifPixels);
        case TooMuchMemory:
            return sized;
        case Damaged:
        case NoPermission:
        case Empty:
        case NotAPicture:
        case Unwalled:
            return true;
        case NotAFile: // the game opened the file: only it can tell
        case Missing:
            break;
        }
        return false;
    }
    if (h.format != QImage::Format_RGB32 || h.devicePixelRatio != requestedRatio_ || h.naturalWidth <= 0 ||
        h.naturalHeight <= 0 || qint64{h.naturalWidth} * h.naturalHeight > kMaxSourcePixels)
        return false;
    return QSize(h.width, h.height) == fittedPhysicalSize({h.naturalWidth, h.naturalHeight}, requestedRatio_);
}

char* AnswerReader::writeCursor()
{
    if (headerBytes_ < qsizetype{sizeof header_})
        return reinterpret_cast<char*>(&header_) + headerBytes_;
    return reinterpret_cast<char*>(pixels_.bits()) + pixelBytes_;
}

qsizetype AnswerReader::awaited() const
{
    if (headerBytes_ < qsizetype{sizeof header_})
        return qsizetype{sizeof header_} - headerBytes_;
    return pixels_.sizeInBytes() - pixelBytes_;
}

AnswerReader::Progress AnswerReader::received(qsizetype count)
{
    const bool hadHeader = headerBytes_ == qsizetype{sizeof header_};
    (hadHeader ? pixelBytes_ : headerBytes_) += count;
    if (!hadHeader && headerBytes_ == qsizetype{sizeof header_}) {
        if (!headerIsBelievable())
            return progress_ = Progress::Broken;
        if (header_.refused == 1)
            return progress_ = Progress::Complete;
        // Rows of RGB32 are packed as they are: the pixels go straight into the picture.
        pixels_ = QImage(header_.width, header_.height, QImage::Format_RGB32);
        if (pixels_.isNull())
            return progress_ = Progress::Broken;
    }
    if (headerBytes_ == qsizetype{sizeof header_} && pixelBytes_ == pixels_.sizeInBytes())
        progress_ = Progress::Complete;
    return progress_;
}

AnswerReader::Progress AnswerReader::take(const char* bytes, qsizetype count)
{
    while (count > 0 && progress_ == Progress::Reading) {
        const qsizetype part = std::min(count, awaited());
        std::memcpy(writeCursor(), bytes, static_cast<std::size_t>(part));
        bytes += part;
        count -= part;
        received(part);
    }
    return progress_;
}

AnswerReader::Progress AnswerReader::readAvailable(int socket)
{
    while (progress_ == Progress::Reading) {
        const ssize_t got = ::read(socket, writeCursor(), static_cast<std::size_t>(awaited()));
        if (got > 0)
            received(got);
        else if (got < 0 && errno == EINTR)
            continue;
        else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        else
            progress_ = Progress::Broken; // the helper has gone, or the socket failed
    }
    return progress_;
}

LoadResult AnswerReader::result() const
{
    if (progress_ != Progress::Complete)
        return Refusal{Refusal::Reason::Damaged};
    if (header_.refused == 1)
        return Refusal{
            header_.reason,
            QByteArray(header_.kind, static_cast<qsizetype>(qstrnlen(header_.kind, sizeof header_.kind))),
            QSize(header_.width, header_.height), header_.limit};
    QImage fitted = pixels_;
    fitted.setDevicePixelRatio(header_.devicePixelRatio);
    return LoadedPicture{fitted, QSize(header_.naturalWidth, header_.naturalHeight)};
}

} // namespace tilmora
