// Stands in for the decoder helper to show that the game survives a helper gone wrong, and tries
// what the wall must refuse. Usage: fakedecoder HOW
// - as a helper (started by the game's reader): takes the request, then misbehaves as HOW says;
// - `wall CALL`: locks itself down with standard output as its socket, says "walled", then makes
//   CALL, which should end it or fail ("refused"); says "escaped" if the call returns;
// - `unwallable HELPER`: runs the real helper on a system that refuses it a system call filter.

#include "decoder/decoderlockdown.h"
#include "picture/decoderprotocol.h"

#include <seccomp.h>

#include <QImage>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/syscall.h>
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
    ::prctl(PR_SET_PDEATHSIG, SIGKILL); // a hung one never outlives the test
    char request[sizeof(DecodeRequest)];
    if (::read(kDecoderSocket, request, sizeof request) <= 0)
        return 1;
    AnswerHeader picture{kAnswerMagic, 0, {}, 4, 4, 4, 4, QImage::Format_RGB32, 0, 1.0};
    using enum Refusal::Reason;
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
    if (how == "one pixel wider") {
        picture.width = 5;
        say(bytesOf(picture) + QByteArray(5 * 4 * 4, '\0'));
    }
    if (how == "another limit") // a limit the game does not have
        say(bytesOf({kAnswerMagic, 1, TooManyPixels, 9000, 9000, 0, 0, 0, 7'000'000}));
    if (how == "no height")
        say(bytesOf({kAnswerMagic, 1, TooMuchMemory, 9000, 0}));
    if (how == "a refusal only the game can make")
        say(bytesOf({kAnswerMagic, 1, Missing}));
    if (how == "text for a kind") {
        AnswerHeader refusal{kAnswerMagic, 1, KindNotOpened};
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
    if (call == "memory made executable") {
        void* page = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        (void)::mprotect(page, 4096, PROT_READ | PROT_EXEC);
    }
    if (call == "new process")
        (void)::fork();
    if (call == "process by clone") // a child sharing nothing, as fork makes it
        (void)::syscall(SYS_clone, SIGCHLD, nullptr, nullptr, nullptr, 0);
    if (call == "signal to another process")
        (void)::kill(::getppid(), 0);
    if (call == "write elsewhere") // standard input, opened for writing too by the test
        (void)!::write(STDIN_FILENO, "x", 1);
    (void)!::write(STDOUT_FILENO, "escaped\n", 8);
    return 0;
}

// A system that has no system call filter to give: every attempt to install one fails.
int runUnwallable(char** helper)
{
    scmp_filter_ctx refusing = seccomp_init(SCMP_ACT_ALLOW);
    seccomp_rule_add(refusing, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(seccomp), 0);
    seccomp_rule_add(refusing, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(prctl), 1,
                     SCMP_A0(SCMP_CMP_EQ, PR_SET_SECCOMP));
    if (seccomp_load(refusing) != 0)
        return 3;
    ::execv(helper[0], helper);
    return 4;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "wall") == 0)
        std::_Exit(tryThroughWall(argv[2])); // the sanitizers' leak check at exit would trace
    if (argc == 3 && std::strcmp(argv[1], "unwallable") == 0)
        return runUnwallable(argv + 2);
    return argc == 2 ? misbehave(argv[1]) : 2;
}
