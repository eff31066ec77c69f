#pragma once

// Feeds arbitrary bytes to the picture loader as a file the player chose, then, when they make a
// picture, has the main window cut it at every board size, and checks what came out. The loader
// fuzzer calls it with whatever libFuzzer makes up; the window tests replay the saved inputs.
// Needs a QApplication (offscreen will do) for as long as it lives.

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace tilmora {
class frmmain;
namespace testing {
class FakeMessages;
}
} // namespace tilmora

namespace tilmora::fuzzing {

class LoaderCheck
{
public:
    LoaderCheck();
    ~LoaderCheck();
    LoaderCheck(const LoaderCheck&) = delete;
    LoaderCheck& operator=(const LoaderCheck&) = delete;

    // The first broken rule, described for a person, or nothing when every check held.
    [[nodiscard]] std::optional<QString> check(std::span<const std::uint8_t> bytes);

private:
    QTemporaryDir folder_;
    std::shared_ptr<testing::FakeMessages> messages_;
    std::unique_ptr<frmmain> window_;
};

} // namespace tilmora::fuzzing
