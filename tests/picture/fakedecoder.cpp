// Stands in for the decoder helper to show that the game survives a helper gone wrong, and tries
// what the wall must refuse. Usage: fakedecoder HOW
// - as a helper (started by the game's reader): takes the request, then misbehaves as HOW says;
// - `wall CALL`: puts up the helper's walls with standard output as its socket, says "walled",
//   then makes CALL, which should end it or fail ("refused"); says "escaped" if the call returns;
// - `unwallable HELPER...`: runs the real helper on a system that refuses it a system call filter;
// - `bare kernel HELPER...`: on a system that has neither namespaces nor Landlock to give.

#include "decoder/decoderisolation.h"
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
#include <ctime>
#include <fcntl.h>
#include <linux/futex.h>
#include <memory>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
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

// A child sharing the helper's memory, made with `flags` rather than the C library's thread flags.
void cloneWith(int flags)
{
    alignas(16) static char stack[64 * 1024];
    ::clone([](void*) { return static_cast<int>(::syscall(SYS_exit, 0)); }, stack + sizeof stack, flags,
            nullptr);
}

// Makes `call`; true when it failed, as the wall has it fail rather than end the helper.
bool refused(const QByteArray& call)
{
    struct stat status {
    };
    struct statx extended {
    };
    if (call == "open")
        return ::open("/etc/hostname", O_RDONLY) < 0;
    if (call == "reopen a descriptor by its path in /proc")
        return ::open("/proc/self/fd/1", O_WRONLY) < 0;
    if (call == "stat a path")
        return ::stat("/", &status) < 0;
    if (call == "statx on a path")
        return ::statx(AT_FDCWD, "/etc", 0, STATX_BASIC_STATS, &extended) < 0;
    if (call == "a path as if a descriptor") // the flag the filter lets through, with a path
        return ::fstatat(AT_FDCWD, "/etc/hostname", &status, AT_EMPTY_PATH) < 0;
    return false;
}

int tryThroughWall(const QByteArray& call)
{
    limitDecoder();
    (void)isolateDecoder();
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
    if (call == "stopped and continued") { // the test stops and continues it while it sleeps
        const timespec second{1, 0};
        return ::nanosleep(&second, nullptr);
    }
    if (refused(call)) {
        (void)!::write(STDOUT_FILENO, "refused\n", 8);
        return 0;
    }
    constexpr int kThreadFlags = CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_SYSVSEM;
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
    if (call == "huge-page mapping")
        (void)::mmap(nullptr, 2 << 20, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_HUGETLB, -1,
                     0);
    if (call == "new process")
        (void)::fork();
    if (call == "thread flags without CLONE_THREAD") // a process sharing the helper's memory
        cloneWith(kThreadFlags);
    if (call == "thread in a network namespace")
        cloneWith(kThreadFlags | CLONE_THREAD | CLONE_NEWNET);
    if (call == "priority-inheritance lock") {
        static std::uint32_t word = 0;
        (void)::syscall(SYS_futex, &word, FUTEX_LOCK_PI_PRIVATE, 0, nullptr, nullptr, 0);
    }
    if (call == "processor clock of another process") { // as clock_getcpuclockid makes it
        timespec time{};
        (void)::clock_gettime(static_cast<clockid_t>(~static_cast<unsigned>(::getppid()) << 3 | 2), &time);
    }
    if (call == "processors of another process") {
        cpu_set_t processors;
        (void)::sched_getaffinity(::getppid(), sizeof processors, &processors);
    }
    if (call == "x32 call from a thread") // the whole process ends, not only the thread
        std::thread([] { (void)::syscall(0x40000000 | SYS_getpid); }).join();
    if (call == "signal to another process")
        (void)::kill(::getppid(), 0);
    if (call == "write elsewhere") // standard input, opened for writing too by the test
        (void)!::write(STDIN_FILENO, "x", 1);
    if (call == "writev elsewhere") {
        iovec byte{const_cast<char*>("x"), 1};
        (void)!::writev(STDIN_FILENO, &byte, 1);
    }
    (void)!::write(STDOUT_FILENO, "escaped\n", 8);
    return 0;
}

// A system that has no system call filter to give (the filter is made, but loading it fails), or
// neither namespaces nor Landlock.
int runOnSystemWithout(const QByteArray& what, char** helper)
{
    scmp_filter_ctx refusing = seccomp_init(SCMP_ACT_ALLOW);
    if (what == "unwallable") {
        seccomp_rule_add(refusing, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(seccomp), 1,
                         SCMP_A0(SCMP_CMP_EQ, SECCOMP_SET_MODE_FILTER));
        seccomp_rule_add(refusing, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(prctl), 1,
                         SCMP_A0(SCMP_CMP_EQ, PR_SET_SECCOMP));
    } else {
        seccomp_rule_add(refusing, SCMP_ACT_ERRNO(EPERM), SCMP_SYS(unshare), 0);
        seccomp_rule_add(refusing, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(landlock_create_ruleset), 0);
    }
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
    if (argc >= 3 && (std::strcmp(argv[1], "unwallable") == 0 || std::strcmp(argv[1], "bare kernel") == 0))
        return runOnSystemWithout(argv[1], argv + 2);
    return argc == 2 ? misbehave(argv[1]) : 2;
}
