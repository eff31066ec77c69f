// Stands in for the decoder helper to show that the game survives a helper gone wrong, and tries
// what the wall must refuse. Usage: fakedecoder HOW
// - as a helper (started by the game's reader): takes the request, then misbehaves as HOW says;
// - `wall CALL`: puts up the helper's walls with standard output as its socket, says "walled",
//   then makes CALL, which should end it, fail ("refused"), or be done ("done");
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
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/futex.h>
#include <map>
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
    if (how == "talks")
        (void)!::write(STDERR_FILENO, "\x1b[2Jcleared\n", 12);
    if (how == "text for a kind") {
        AnswerHeader refusal{kAnswerMagic, 1, KindNotOpened};
        std::strcpy(refusal.kind, "visit example.com"); // NOLINT: fits, NUL-terminated
        say(bytesOf(refusal));
    }
    return 0;
}

// The process that started this one, asked before the wall, which refuses asking.
pid_t starter = 0;

// A child sharing the helper's memory, made with `flags` (the C library's thread flags, or near them).
bool cloneWith(int flags)
{
    alignas(16) static char stack[64 * 1024];
    static pid_t parentTid = 0;
    static pid_t childTid = 0;
    return ::clone([](void*) { return static_cast<int>(::syscall(SYS_exit, 0)); }, stack + sizeof stack,
                   flags, nullptr, &parentTid, nullptr, &childTid) < 0;
}

constexpr int kNearlyThread = CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_SYSVSEM |
                              CLONE_SETTLS | CLONE_PARENT_SETTID |
                              CLONE_CHILD_CLEARTID; // the C library's, but CLONE_THREAD
constexpr int kAnonymous = MAP_PRIVATE | MAP_ANONYMOUS;
struct stat status {
};
struct statx extended {
};
cpu_set_t processors;
timespec aSecond{1, 0};
std::uint32_t word = 0;
char letter[] = "x";
iovec byte{letter, 1};

// Each attempt: true when its call failed, as the wall has some fail rather than end the helper.
const std::map<QByteArrayView, bool (*)()> kAttempts = {
    {"threads",
     [] { // a large smooth scale runs on Qt's thread pool
         return QImage(3000, 3000, QImage::Format_RGB32)
             .scaled(900, 900, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
             .isNull();
     }},
    {"give memory back from a thread",
     [] { // the C library then asks a file in /proc
         std::thread([] {
             std::vector<std::unique_ptr<char[]>> blocks;
             for (int i = 0; i < 600; ++i)
                 blocks.emplace_back(new char[100'000]()); // in the thread's own heap, not mapped apart
         }).join();
         return false;
     }},
    {"stopped and continued", [] { return ::nanosleep(&aSecond, nullptr) < 0; }}, // stopped as it sleeps
    {"open", [] { return ::open("/etc/hostname", O_RDONLY) < 0; }},
    {"reopen a descriptor by its path in /proc", [] { return ::open("/proc/self/fd/1", O_WRONLY) < 0; }},
    {"stat a path", [] { return ::stat("/", &status) < 0; }},
    {"statx on a path", [] { return ::statx(AT_FDCWD, "/", 0, STATX_BASIC_STATS, &extended) < 0; }},
    {"a path as if a descriptor", [] { return ::fstatat(AT_FDCWD, "/etc", &status, AT_EMPTY_PATH) < 0; }},
    {"socket", [] { return ::socket(AF_INET, SOCK_STREAM, 0) < 0; }},
    {"run a program", [] { return ::execl("/bin/true", "true", nullptr) < 0; }},
    {"trace", [] { return ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) < 0; }},
    {"executable memory",
     [] { return ::mmap(nullptr, 4096, PROT_READ | PROT_EXEC, kAnonymous, -1, 0) == MAP_FAILED; }},
    {"memory made executable",
     [] {
         void* page = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, kAnonymous, -1, 0);
         return ::mprotect(page, 4096, PROT_READ | PROT_EXEC) < 0;
     }},
    {"huge-page mapping",
     [] { return ::mmap(nullptr, 2 << 20, PROT_READ, kAnonymous | MAP_HUGETLB, -1, 0) == MAP_FAILED; }},
    {"new process", [] { return ::fork() < 0; }},
    {"thread flags without CLONE_THREAD", [] { return cloneWith(kNearlyThread); }},
    {"thread in a network namespace", [] { return cloneWith(kNearlyThread | CLONE_THREAD | CLONE_NEWNET); }},
    {"priority-inheritance lock",
     [] { return ::syscall(SYS_futex, &word, FUTEX_LOCK_PI_PRIVATE, 0, nullptr, nullptr, 0) < 0; }},
    {"processor clock of another process",
     [] { // as clock_getcpuclockid makes it
         return ::clock_gettime(static_cast<clockid_t>(~static_cast<unsigned>(starter) << 3 | 2), &aSecond) <
                0;
     }},
    {"processors of another process",
     [] { return ::sched_getaffinity(starter, sizeof processors, &processors) < 0; }},
    {"x32 call from a thread",
     [] { // the whole process ends, not only the thread
         std::thread([] { (void)::syscall(0x40000000 | SYS_getpid); }).join();
         return false;
     }},
    {"signal to another process", [] { return ::kill(starter, 0) < 0; }},
    {"write elsewhere", [] { return ::write(STDIN_FILENO, "x", 1) < 0; }}, // stdin, open for writing too
    {"writev elsewhere", [] { return ::writev(STDIN_FILENO, &byte, 1) < 0; }},
};

int tryThroughWall(const QByteArray& call)
{
    starter = ::getppid();
    limitDecoder();
    (void)isolateDecoder();
    if (lockDownDecoder(STDOUT_FILENO) != Lockdown::Walled) {
        std::puts("unwalled");
        return 0;
    }
    (void)!::write(STDOUT_FILENO, "walled\n", 7);
    const auto attempt = kAttempts.find(call);
    if (attempt != kAttempts.end()) {
        const QByteArrayView said = attempt->second() ? "refused\n" : "done\n";
        (void)!::write(STDOUT_FILENO, said.data(), static_cast<std::size_t>(said.size()));
    }
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
