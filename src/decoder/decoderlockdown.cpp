#include "decoderlockdown.h"

#include <seccomp.h>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>

#include <memory>
#include <thread>

namespace tilmora {

namespace {

using Filter = std::unique_ptr<void, decltype(&seccomp_release)>;

// A rule the filter cannot take (a call this machine does not have) is left out: the call is then
// refused, so a rule that fails can only make the wall tighter.
template <typename... Conditions> void allow(const Filter& filter, const char* call, Conditions... conditions)
{
    const int number = seccomp_syscall_resolve_name(call);
    if (number != __NR_SCMP_ERROR)
        seccomp_rule_add(filter.get(), SCMP_ACT_ALLOW, number, sizeof...(conditions), conditions...);
}

// A call that fails with `error` instead of ending the helper.
void refuse(const Filter& filter, const char* call, int error)
{
    const int number = seccomp_syscall_resolve_name(call);
    if (number != __NR_SCMP_ERROR)
        seccomp_rule_add(filter.get(), SCMP_ACT_ERRNO(static_cast<std::uint32_t>(error)), number, 0);
}

// What decoding a picture from an open descriptor and fitting it takes, found by tracing the helper
// over every kind of file the game opens, in the plain and the sanitizer builds:
// - reading the descriptor it was handed, by stream or by mapping; asking its size (Qt asks with
//   newfstatat or statx on the descriptor: they can also tell whether a path exists, which tells
//   a helper taken over nothing it could pass anywhere but to the game);
// - memory: new mappings and changes of protection never executable, so no new code can be run;
// - threads for Qt's smooth scaling and pixel conversion, which split large pictures among a pool:
//   clone only for a thread sharing memory, files and signal handlers (clone3, whose flags the
//   filter cannot see, says it does not exist, and the C library falls back on clone); naming a
//   thread; the event counter (eventfd) Qt gives each thread to wake it; the calls the C library
//   makes as a thread starts and ends;
// - the game's socket: receiving the descriptor, writing the answer; standard error for warnings;
// - ending, and closing what it holds.
// Opening a file fails. Everything else ends the helper at once, which the game sees as a damaged
// file: sockets, running programs, tracing, signals to others, namespaces, new privileges.
void addRules(const Filter& filter, int socket)
{
    for (const char* call : {"read",
                             "readv",
                             "pread64",
                             "preadv",
                             "lseek",
                             "fstat",
                             "newfstatat",
                             "statx",
                             "munmap",
                             "mremap",
                             "brk",
                             "madvise",
                             "futex",
                             "set_robust_list",
                             "rseq",
                             "sched_yield",
                             "sched_getaffinity",
                             "getpid",
                             "gettid",
                             "rt_sigprocmask",
                             "rt_sigreturn",
                             "sigaltstack",
                             "clock_gettime",
                             "clock_nanosleep",
                             "nanosleep",
                             "getrandom",
                             "eventfd2",
                             "close",
                             "exit",
                             "exit_group"})
        allow(filter, call);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer checks whether memory can be read by writing it into a pipe of its own (only
    // in the sanitizer builds of the tests).
    for (const char* call : {"pipe2", "write"})
        allow(filter, call);
#endif
    const auto notExecutable = [](unsigned argument) {
        return scmp_arg_cmp{argument, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0};
    };
    allow(filter, "mmap", notExecutable(2));
    allow(filter, "mprotect", notExecutable(2));
    const auto unsignedArgument = [](int value) { return static_cast<scmp_datum_t>(value); };
    for (const int output : {socket, 2}) {
        allow(filter, "write", SCMP_A0(SCMP_CMP_EQ, unsignedArgument(output)));
        allow(filter, "writev", SCMP_A0(SCMP_CMP_EQ, unsignedArgument(output)));
    }
    allow(filter, "recvmsg", SCMP_A0(SCMP_CMP_EQ, unsignedArgument(socket)));
    allow(filter, "fcntl", SCMP_A1(SCMP_CMP_EQ, F_GETFL));
    allow(filter, "fcntl", SCMP_A1(SCMP_CMP_EQ, F_GETFD));
    allow(filter, "prctl", SCMP_A0(SCMP_CMP_EQ, PR_SET_NAME));
    allow(filter, "prctl", SCMP_A0(SCMP_CMP_EQ, PR_GET_NAME));
    constexpr scmp_datum_t kThread = CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_THREAD;
    allow(filter, "clone", SCMP_A0(SCMP_CMP_MASKED_EQ, kThread, kThread));
    refuse(filter, "clone3", ENOSYS);
    // Opening a file fails rather than ending the helper: the C library's malloc reads a setting in
    // /proc when a thread gives memory back (libde265's threads do, decoding a large HEIC), and
    // does without it.
    for (const char* call : {"open", "openat", "openat2", "creat"})
        refuse(filter, call, EACCES);
}

} // namespace

Lockdown lockDownDecoder(int socket)
{
    // The C library readies itself for threads when the first one starts, with calls the wall
    // refuses (installing its own signal handlers): one is started first, while it still may.
    std::thread([] {}).join();
    // No new privileges: nothing the helper could run would gain any. Set first, on its own, so it
    // holds even where the filter cannot be loaded.
    ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    // A call the filter refuses ends the whole helper, every thread: the safest end, and the kernel
    // logs the call that did it (the audit record names its number).
    const Filter filter(seccomp_init(SCMP_ACT_KILL_PROCESS), &seccomp_release);
    if (!filter)
        return Lockdown::Unavailable;
    // Every thread the helper has by now is walled too.
    seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1);
    addRules(filter, socket);
    return seccomp_load(filter.get()) == 0 ? Lockdown::Walled : Lockdown::Unavailable;
}

} // namespace tilmora
