#include "decoderlockdown.h"

#include <seccomp.h>

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <linux/futex.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

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

// A call that fails with `error` instead of ending the helper (when `conditions` hold).
template <typename... Conditions>
void refuse(const Filter& filter, const char* call, int error, Conditions... conditions)
{
    const int number = seccomp_syscall_resolve_name(call);
    if (number != __NR_SCMP_ERROR)
        seccomp_rule_add(filter.get(), SCMP_ACT_ERRNO(static_cast<std::uint32_t>(error)), number,
                         sizeof...(conditions), conditions...);
}

// What decoding a picture from an open descriptor and fitting it takes, found by tracing the helper
// over every kind of file the game opens, in the plain and the sanitizer builds:
// - reading the descriptor it was handed, by stream or by mapping; asking its size (Qt and the C
//   library ask with newfstatat or statx on the descriptor, an empty path with AT_EMPTY_PATH: the
//   filter cannot read the path, but without that flag a path is refused, and with it any path
//   finds only the empty root the helper's namespace left, where the system let it be made);
// - memory: new mappings and changes of protection never executable, so no new code can be run,
//   with the flags and advice the C library's malloc and the decoders give (no huge-page mapping,
//   no locked memory; transparent huge pages by advice, as the game asks malloc for);
// - threads for Qt's smooth scaling and pixel conversion, which split large pictures among a pool:
//   clone only with exactly the flags the C library gives a thread (clone3, whose flags the
//   filter cannot see, says it does not exist, and the C library falls back on clone); the futex
//   operations its locks and condition variables use (none of priority inheritance); naming a
//   thread; the event counter (eventfd) Qt gives each thread to wake it; the calls the C library
//   makes as a thread starts and ends;
// - clocks and the processors it may run on, its own only;
// - the game's socket: receiving the descriptor, writing the answer; standard error (a pipe the
//   game reads) for warnings;
// - a call the kernel restarts after the helper was stopped (Ctrl+Z in a terminal) and continued;
// - ending, and closing what it holds.
// Opening a file or asking about a path fails. Everything else ends the helper at once, which the
// game sees as a damaged file: sockets, running programs, tracing, signals to others, namespaces,
// new privileges.
void addRules(const Filter& filter, int socket)
{
    for (const char* call : {"read",         "readv",           "pread64",     "preadv",    "lseek",
                             "fstat",        "munmap",          "mremap",      "brk",       "set_robust_list",
                             "rseq",         "sched_yield",     "getpid",      "gettid",    "rt_sigprocmask",
                             "rt_sigreturn", "restart_syscall", "sigaltstack", "nanosleep", "getrandom",
                             "eventfd2",     "close",           "exit",        "exit_group"})
        allow(filter, call);
    const auto unsignedArgument = [](long value) { return static_cast<scmp_datum_t>(value); };
    const auto notExecutable = scmp_arg_cmp{2, SCMP_CMP_MASKED_EQ, PROT_EXEC, 0};
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer checks whether memory can be read by writing it into a pipe of its own, and
    // maps and advises its shadow memory as it likes (only in the sanitizer builds of the tests).
    // Its threads ask which processors they may run on by their own numbers.
    for (const char* call : {"pipe2", "write", "madvise", "sched_getaffinity"})
        allow(filter, call);
    allow(filter, "mmap", notExecutable);
#else
    constexpr scmp_datum_t kMappings =
        MAP_SHARED | MAP_PRIVATE | MAP_FIXED | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK | MAP_POPULATE;
    allow(filter, "mmap", notExecutable, scmp_arg_cmp{3, SCMP_CMP_MASKED_EQ, ~kMappings, 0});
    for (const int advice : {MADV_DONTNEED, MADV_FREE, MADV_WILLNEED, MADV_HUGEPAGE, MADV_POPULATE_READ})
        allow(filter, "madvise", SCMP_A2(SCMP_CMP_EQ, unsignedArgument(advice)));
#endif
    allow(filter, "mprotect", notExecutable);
    constexpr scmp_datum_t kFutexVariants = FUTEX_PRIVATE_FLAG | FUTEX_CLOCK_REALTIME;
    for (const int operation : {FUTEX_WAIT, FUTEX_WAKE, FUTEX_WAKE_OP, FUTEX_WAIT_BITSET, FUTEX_WAKE_BITSET})
        allow(filter, "futex", SCMP_A1(SCMP_CMP_MASKED_EQ, ~kFutexVariants, unsignedArgument(operation)));
    // The clocks every process has (real time, monotonic, its own processor time, boot time), not
    // another's processor time, whose numbers are negative.
    for (const char* call : {"clock_gettime", "clock_nanosleep"})
        allow(filter, call, SCMP_A0(SCMP_CMP_LE, CLOCK_BOOTTIME));
        // The processors it may run on: asked of the process (as 0 or by its number), not of another
        // (numbered before it, as the game is). A thread asking by its own number (dav1d's do) is
        // refused, and counts the processors another way.
#if !defined(__SANITIZE_ADDRESS__)
    const scmp_datum_t itself = unsignedArgument(::getpid());
    allow(filter, "sched_getaffinity", SCMP_A0(SCMP_CMP_EQ, 0));
    allow(filter, "sched_getaffinity", SCMP_A0(SCMP_CMP_EQ, itself));
    refuse(filter, "sched_getaffinity", EPERM, SCMP_A0(SCMP_CMP_GT, itself));
#endif
    allow(filter, "newfstatat", SCMP_A3(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH));
    allow(filter, "statx", SCMP_A2(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, AT_EMPTY_PATH));
    for (const int output : {socket, 2}) {
        allow(filter, "write", SCMP_A0(SCMP_CMP_EQ, unsignedArgument(output)));
        allow(filter, "writev", SCMP_A0(SCMP_CMP_EQ, unsignedArgument(output)));
    }
    allow(filter, "recvmsg", SCMP_A0(SCMP_CMP_EQ, unsignedArgument(socket)));
    allow(filter, "fcntl", SCMP_A1(SCMP_CMP_EQ, F_GETFL));
    allow(filter, "fcntl", SCMP_A1(SCMP_CMP_EQ, F_GETFD));
    allow(filter, "prctl", SCMP_A0(SCMP_CMP_EQ, PR_SET_NAME));
    allow(filter, "prctl", SCMP_A0(SCMP_CMP_EQ, PR_GET_NAME));
    constexpr scmp_datum_t kThread = CLONE_VM | CLONE_FS | CLONE_FILES | CLONE_SIGHAND | CLONE_THREAD |
                                     CLONE_SYSVSEM | CLONE_SETTLS | CLONE_PARENT_SETTID |
                                     CLONE_CHILD_CLEARTID;
    allow(filter, "clone", SCMP_A0(SCMP_CMP_EQ, kThread));
    refuse(filter, "clone3", ENOSYS);
    // Opening a file or asking about a path fails rather than ending the helper: the C library's
    // malloc reads a setting in /proc when a thread gives memory back (libde265's threads do,
    // decoding a large HEIC), and does without it.
    for (const char* call : {"open", "openat", "openat2", "creat", "stat", "lstat"})
        refuse(filter, call, EACCES);
    refuse(filter, "newfstatat", EACCES, SCMP_A3(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, 0));
    refuse(filter, "statx", EACCES, SCMP_A2(SCMP_CMP_MASKED_EQ, AT_EMPTY_PATH, 0));
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
    // Every thread the helper has by now is walled too, and gets no new privileges either.
    seccomp_attr_set(filter.get(), SCMP_FLTATR_CTL_TSYNC, 1);
    // A call in another architecture's format (a 32-bit one by int 0x80, or x32) ends the whole
    // helper as well, not only the thread that made it.
    seccomp_attr_set(filter.get(), SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS);
    addRules(filter, socket);
    return seccomp_load(filter.get()) == 0 ? Lockdown::Walled : Lockdown::Unavailable;
}

} // namespace tilmora
