// Stands in for the decoder helper to show that the game survives a helper gone wrong, and tries
// what the wall must refuse. Usage: fakedecoder HOW
// - as a helper (started by the game's reader): takes the request, then misbehaves as HOW says;
// - `wall CALL`: locks itself down with standard output as its socket, says "walled", then makes
//   CALL, which should end it or fail ("refused"); says "escaped" if the call returns.

#include "picture/decoderlockdown.h"
#include "picture/decoderprotocol.h"

#include <QImage>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tilmora;

namespace {

void say(const QByteArray& bytes)
{
    (void)!::write(kDecoderSocket, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QByteArray bytesOf(const AnswerHeader& header)
{
    return {reinterpret_cast<const char*>(&header), sizeof header};
}

int misbehave(const QByteArray& how)
{
    char request[sizeof(DecodeRequest)];
    if (::read(kDecoderSocket, request, sizeof request) <= 0)
        return 1;
    AnswerHeader picture{kAnswerMagic, AnswerRefusal::None, 4, 4, 4, 4, QImage::Format_RGB32, 0, 1.0};
    if (how == "crash")
        std::abort();
    if (how == "hang")
        QThread::sleep(600);
    if (how == "short")
        say(bytesOf(picture).left(10));
    if (how == "nonsense")
        say(QByteArray(sizeof picture, '\x7f'));
    if (how == "pixels cut")
        say(bytesOf(picture) + QByteArray(30, '\0'));
    if (how == "absurd size") {
        picture.width = picture.height = 100'000;
        say(bytesOf(picture));
    }
    if (how == "another limit") // a limit the game does not have, in the game's own sentence
        say(bytesOf({kAnswerMagic, AnswerRefusal::TooManyPixels, 9000, 9000, 0, 0, 0, 7}));
    if (how == "no height")
        say(bytesOf({kAnswerMagic, AnswerRefusal::TooMuchMemory, 9000, 0, 0, 0, 0, kAllocationLimitMiB}));
    if (how == "text for a kind") {
        AnswerHeader refusal{kAnswerMagic, AnswerRefusal::KindNotOpened};
        std::strcpy(refusal.kind, "visit example.com"); // NOLINT: fits, NUL-terminated
        say(bytesOf(refusal));
    }
    return 0;
}

int tryThroughWall(const QByteArray& call)
{
    if (lockDownDecoder(STDOUT_FILENO) != Lockdown::Walled) {
        std::puts("unwalled");
        return 0;
    }
    (void)!::write(STDOUT_FILENO, "walled\n", 7);
    if (call == "threads") { // a large smooth scale runs on Qt's thread pool
        QImage large(3000, 3000, QImage::Format_RGB32);
        large.fill(Qt::red);
        return large.scaled(900, 900, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).isNull();
    }
    if (call == "give memory back from a thread") { // the C library then asks a file in /proc
        std::thread([] {
            std::vector<std::unique_ptr<char[]>> blocks;
            for (int i = 0; i < 600; ++i)
                blocks.emplace_back(new char[100'000]()); // in the thread's own heap, not mapped apart
        }).join();
        return 0;
    }
    if (call == "open" && ::open("/etc/hostname", O_RDONLY) < 0 && errno == EACCES) {
        (void)!::write(STDOUT_FILENO, "refused\n", 8);
        return 0;
    }
    if (call == "socket")
        (void)::socket(AF_INET, SOCK_STREAM, 0);
    if (call == "run a program")
        ::execl("/bin/true", "true", nullptr);
    if (call == "trace")
        (void)::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    if (call == "executable memory")
        (void)::mmap(nullptr, 4096, PROT_READ | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    (void)!::write(STDOUT_FILENO, "escaped\n", 8);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "wall") == 0)
        std::_Exit(tryThroughWall(argv[2])); // the sanitizers' leak check at exit would trace
    return argc == 2 ? misbehave(argv[1]) : 2;
}
