#include "decoderisolation.h"

#include <linux/landlock.h>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tilmora {

namespace {

// The largest picture the game takes fits in 512 MiB decoded; the rest is the libraries, the
// threads' stacks and the C library's per-thread heaps, most of them reserved and never touched.
// A decoder that runs away past it gets a failed allocation instead of the machine's memory.
constexpr rlim_t kAddressSpace = rlim_t{4} << 30;

// The most the kernel gives: it ends this process before any other when memory runs out.
constexpr char kOomScoreFirst[] = "1000";

void setLimit(int resource, rlim_t value)
{
    const rlimit limit{value, value};
    ::setrlimit(resource, &limit);
}

// A user namespace of its own, in which the helper may change its mount namespace: the system's
// file tree is swapped for an empty, read-only one and dropped, so no path names anything but that
// empty root. The network namespace has no interface but a loopback that is down. Refused where
// the system allows no user namespaces (to unprivileged users, on some systems; in some
// containers); then the helper stays in the system's namespaces.
bool enterEmptyNamespaces()
{
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS | CLONE_NEWNET) != 0)
        return false;
    // /proc exists wherever the game runs (it has just been written to), and an empty file system
    // mounted over it becomes the root.
    constexpr char kMountPoint[] = "/proc";
    constexpr unsigned long kNothingRuns = MS_RDONLY | MS_NOSUID | MS_NODEV | MS_NOEXEC;
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount("tmpfs", kMountPoint, "tmpfs", kNothingRuns, "size=4k,mode=555") == 0 &&
           ::chdir(kMountPoint) == 0 && ::syscall(SYS_pivot_root, ".", ".") == 0 &&
           ::umount2(".", MNT_DETACH) == 0 && ::chdir("/") == 0;
}

// The access rights each version of Landlock knows, so a ruleset handles (and, with no rule,
// denies) every one of them: files from the first version on (refer from 2, truncate from 3, device
// controls from 5), TCP from 4, and from 6 abstract Unix sockets and signals to processes outside.
struct LandlockRuleset {
    std::uint64_t files = 0;
    std::uint64_t network = 0;
    std::uint64_t scopes = 0;
};

int denyEveryFileAccess()
{
    const auto version =
        static_cast<int>(::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION));
    if (version < 1)
        return 0;
    constexpr int kFileRights[] = {13, 14, 15, 15, 16}; // by version, the last for every later one
    LandlockRuleset ruleset;
    ruleset.files = (std::uint64_t{1} << kFileRights[std::min(version, 5) - 1]) - 1;
    std::size_t size = sizeof ruleset.files;
    if (version >= 4) {
        ruleset.network = 0b11; // bind and connect
        size += sizeof ruleset.network;
    }
    if (version >= 6) {
        ruleset.scopes = 0b11; // abstract Unix sockets, signals
        size += sizeof ruleset.scopes;
    }
    const auto descriptor = static_cast<int>(::syscall(SYS_landlock_create_ruleset, &ruleset, size, 0));
    if (descriptor < 0)
        return 0;
    const bool restricted = ::syscall(SYS_landlock_restrict_self, descriptor, 0) == 0;
    ::close(descriptor);
    return restricted ? version : 0;
}

} // namespace

void limitDecoder()
{
    setLimit(RLIMIT_CORE, 0);
    setLimit(RLIMIT_FSIZE, 0);
#if !defined(__SANITIZE_ADDRESS__)
    setLimit(RLIMIT_AS, kAddressSpace);
#endif
    const int score = ::open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC);
    if (score >= 0) {
        (void)!::write(score, kOomScoreFirst, sizeof kOomScoreFirst - 1);
        ::close(score);
    }
}

Isolation isolateDecoder()
{
    // Nothing the helper could run would gain privileges; Landlock asks for it too. Inherited by
    // every thread started from now on.
    ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    Isolation isolation;
    // Before Landlock, which forbids changing mounts.
    isolation.namespaces = enterEmptyNamespaces();
    isolation.landlock = denyEveryFileAccess();
    return isolation;
}

} // namespace tilmora
