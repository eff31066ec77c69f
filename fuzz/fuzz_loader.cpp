// libFuzzer entry for picture loading: every input is a file the player picks.

#include "loadercheck.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

tilmora::fuzzing::LoaderCheck* loaderCheck = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // One application for the whole run, on no display; it lives until the process ends.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    static tilmora::fuzzing::LoaderCheck check;
    loaderCheck = &check;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const auto failure = loaderCheck->check({data, size})) {
        std::fprintf(stderr, "picture loading rule broken: %s\n", qPrintable(*failure));
        std::abort();
    }
    return 0;
}
