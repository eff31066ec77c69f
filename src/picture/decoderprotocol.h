#pragma once

// What the game and its decoder helper say to each other over their socket. The game sends one
// request: the open picture file (as a descriptor passed along with it) and the screen's device
// pixel ratio. The helper answers once: a header, then for a picture its pixels. A refusal carries
// no text, only the refusal's values (why, a size, a limit, a kind of picture): the game words it
// itself, so nothing the helper says is ever shown as it says it.
//
// The helper may be anything by the time it answers (a decoder fault may have taken it over), so
// the game believes nothing of the answer before checking it: a header that is not what the helper
// could honestly send is taken for a damaged file, before anything is allocated for it.

#include "loadresult.h"
#include "picturefile.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <type_traits>

namespace tilmora {

// The helper's end of the socket, where the game puts it when starting the helper.
inline constexpr int kDecoderSocket = 3;

// The request and the answer's header travel as the raw bytes of these structs: both ends are this
// program's own build on the same machine, so layout, byte order and padding are the same on both
// sides, and no encoding is needed. Every field has a fixed width, explicit padding is spelled out
// (`reserved`, which keeps the ratio on its 8-byte boundary and is always 0), and the asserts below
// keep the sizes where the other side expects them: a change of a field is a change of both ends,
// caught here at build time rather than as a header the game takes for a damaged file.
struct DecodeRequest {
    std::uint32_t magic = 0;
    std::uint32_t reserved = 0;
    double devicePixelRatio = 1;
};

struct AnswerHeader {
    std::uint32_t magic = 0;
    std::uint32_t refused = 0; // 0: the pixels of a picture follow; 1: `reason` says why not
    Refusal::Reason reason = Refusal::Reason::Damaged;
    std::int32_t width = 0; // of the fitted picture, or of the picture a refusal names
    std::int32_t height = 0;
    std::int32_t naturalWidth = 0;
    std::int32_t naturalHeight = 0;
    std::int32_t format = 0; // of the pixels: always RGB32, rows packed
    std::int64_t limit = 0;  // in pixels, of a refusal that names one
    double devicePixelRatio = 0;
    char kind[24] = {}; // of a refusal that names one, NUL-terminated
};

static_assert(std::is_trivially_copyable_v<DecodeRequest> && std::is_trivially_copyable_v<AnswerHeader>,
              "sent as their bytes");
static_assert(sizeof(Refusal::Reason) == 4, "the reason travels as a 32-bit number");
static_assert(sizeof(DecodeRequest) == 16 && sizeof(AnswerHeader) == 72, "the sizes each side reads");

inline constexpr std::uint32_t kRequestMagic = 0x54505251; // "TPRQ"
inline constexpr std::uint32_t kAnswerMagic = 0x54504153;  // "TPAS"

// The header of the helper's answer for what the loader made of the file.
[[nodiscard]] AnswerHeader answerHeaderFor(const LoadResult& result);

// The helper's answer: the header, then for a picture its pixels, RGB32 rows packed as they lie.
// Waits until all is written; false when the game has gone.
bool sendAnswer(int socket, const LoadResult& result);

// The game's end: the answer taken in as it arrives, checked before it is believed.
class AnswerReader
{
public:
    explicit AnswerReader(qreal devicePixelRatio);

    enum class Progress { Reading, Complete, Broken };
    // Reads what the socket holds now, without waiting. Broken also when the helper has gone (the
    // socket closed) before answering in full.
    Progress readAvailable(int socket);
    // The answer taken in so far, as bytes: for the fuzzers, which have no socket.
    Progress take(const char* bytes, qsizetype count);

    // The answer: a damaged file unless Complete.
    [[nodiscard]] LoadResult result() const;

private:
    [[nodiscard]] bool headerIsBelievable() const;
    // Where the next bytes go, and how many are still awaited.
    [[nodiscard]] char* writeCursor();
    [[nodiscard]] qsizetype awaited() const;
    Progress received(qsizetype count);

    qreal requestedRatio_;
    AnswerHeader header_;
    qsizetype headerBytes_ = 0;
    QImage pixels_;
    qsizetype pixelBytes_ = 0;
    Progress progress_ = Progress::Reading;
};

// The game's request: the screen's ratio, with the open picture file passed along (SCM_RIGHTS).
// Never waits; false when the helper has gone.
[[nodiscard]] bool sendRequest(int socket, int file, qreal devicePixelRatio);

// The request as the helper takes it; nothing when the game has gone or sent something else.
struct ReceivedRequest {
    FileDescriptor file;
    qreal devicePixelRatio = 1;
};
[[nodiscard]] std::optional<ReceivedRequest> receiveRequest(int socket);

} // namespace tilmora
