#include "picturereader.h"

#include "decoderprotocol.h"
#include "picturefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <vector>

extern char** environ; // NOLINT: the environment the helper inherits

namespace tilmora {

namespace {

using namespace std::chrono_literals;

// Long enough for the largest picture the game accepts on a slow, busy machine (a 120-megapixel PNG
// takes under 2 s here); a helper past it is taken for hung.
constexpr auto kDefaultTimeLimit = 30s;

const Refusal kDamaged{Refusal::Reason::Damaged};

// Ends a helper and collects its exit, so none is left behind as a zombie. A helper that has not
// ended by the moment it is killed (stuck in the kernel reading a slow disk) is collected later,
// without waiting for it here.
void endProcess(pid_t pid)
{
    ::kill(pid, SIGKILL);
    if (::waitpid(pid, nullptr, WNOHANG) != 0)
        return;
    if (QCoreApplication::instance() == nullptr) {
        ::waitpid(pid, nullptr, 0);
        return;
    }
    QTimer::singleShot(50ms, [pid] { endProcess(pid); });
}

// What the helper needs of the game's environment, and nothing else: where the libraries and Qt's
// image readers are when they are not where the system keeps them, and the sanitizers' settings
// in their builds. malloc is asked to back its large blocks with huge pages (by advice): a photo's
// decode takes a hundred megabytes or more of fresh memory, and faulting it in 4 KiB at a time
// costs more than decoding it on a virtual machine.
std::vector<QByteArray> helperEnvironment()
{
    constexpr QByteArrayView kTunables = "GLIBC_TUNABLES=";
    constexpr QByteArrayView kHugePages = "glibc.malloc.hugetlb=1";
    constexpr std::array<QByteArrayView, 5> kPassedOn = {
        "LD_LIBRARY_PATH=", "QT_PLUGIN_PATH=", "ASAN_OPTIONS=", "UBSAN_OPTIONS=", "LSAN_OPTIONS="};
    std::vector<QByteArray> variables;
    QByteArray tunables = kTunables.toByteArray() + kHugePages.toByteArray();
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const QByteArray entry(*variable);
        if (entry.startsWith(kTunables) && entry.size() > kTunables.size())
            tunables = entry + ':' + kHugePages.toByteArray();
        else if (std::ranges::any_of(kPassedOn, [&](QByteArrayView name) { return entry.startsWith(name); }))
            variables.push_back(entry);
    }
    variables.push_back(tunables);
    return variables;
}

// The most the helper's messages may take before the game reads them (the kernel's smallest pipe
// is a page): a helper taken over may fill it, and its further lines are lost, never waited for.
constexpr int kMessageBytes = 16 * 1024;

// Passes on to the game's log, under the helper's name, what the helper wrote to its standard
// error, a line a message. Control characters (escape sequences for a terminal) are replaced.
void passOnMessages(int pipe)
{
    QByteArray written(kMessageBytes, Qt::Uninitialized);
    const ssize_t count = ::read(pipe, written.data(), kMessageBytes);
    written.truncate(std::max<ssize_t>(count, 0));
    for (const QByteArray& line : written.split('\n')) {
        QString message = QString::fromUtf8(line);
        for (QChar& character : message)
            if (character.category() == QChar::Other_Control)
                character = QChar::ReplacementCharacter;
        if (!message.isEmpty())
            qWarning().noquote() << "tilmora-picture-decoder:" << message;
    }
}

// Pointers to `strings` for exec, ending with a null pointer.
std::vector<char*> argumentVector(std::vector<QByteArray>& strings)
{
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (QByteArray& string : strings)
        pointers.push_back(string.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

// One helper process, the game's end of its socket and of the pipe its messages come through.
// Started with posix_spawn rather than QProcess: the helper must get its end of the socket as a
// known descriptor and nothing else of the game's (no terminal, no X connection, no other file,
// nothing of the environment it does not need, not even the working directory), which
// posix_spawn's file actions say exactly, and the C library starts it without copying the game's
// memory.
class DecoderHelper
{
public:
    static std::unique_ptr<DecoderHelper> start(const QStringList& command)
    {
        if (command.isEmpty())
            return nullptr;
        int ends[2] = {-1, -1};
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            return nullptr;
        FileDescriptor ours(ends[0]);
        const FileDescriptor theirs(ends[1]);
        int messageEnds[2] = {-1, -1};
        if (::pipe2(messageEnds, O_CLOEXEC | O_NONBLOCK) != 0)
            return nullptr;
        FileDescriptor messages(messageEnds[0]);
        const FileDescriptor theirMessages(messageEnds[1]);
        ::fcntl(theirMessages.get(), F_SETPIPE_SZ, kMessageBytes);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, theirMessages.get(), STDERR_FILENO);
        posix_spawn_file_actions_adddup2(&actions, theirs.get(), kDecoderSocket);
        posix_spawn_file_actions_addclosefrom_np(&actions, kDecoderSocket + 1);
        posix_spawn_file_actions_addchdir_np(&actions, "/");
        // Signals as a new program has them: the game's blocked or ignored ones are not passed on.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

        std::vector<QByteArray> arguments;
        arguments.reserve(static_cast<std::size_t>(command.size()));
        for (const QString& argument : command)
            arguments.push_back(QFile::encodeName(argument));
        std::vector<QByteArray> environment = helperEnvironment();
        const std::vector<char*> argv = argumentVector(arguments);
        const std::vector<char*> envp = argumentVector(environment);
        pid_t pid = -1;
        const int failed = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0 || ::fcntl(ours.get(), F_SETFL, O_NONBLOCK) != 0)
            return nullptr;
        return std::unique_ptr<DecoderHelper>(new DecoderHelper(pid, std::move(ours), std::move(messages)));
    }

    ~DecoderHelper()
    {
        endProcess(pid_);
        passOnMessages(messages_.get());
    }
    DecoderHelper(const DecoderHelper&) = delete;
    DecoderHelper& operator=(const DecoderHelper&) = delete;

    [[nodiscard]] int socket() const { return socket_.get(); }

    // Hands the helper the open file: the descriptor travels with the request. Never waits, and a
    // helper that has gone is an error here, not a signal that ends the game.
    bool send(int file, qreal devicePixelRatio) const
    {
        return sendRequest(socket_.get(), file, devicePixelRatio);
    }

private:
    DecoderHelper(pid_t pid, FileDescriptor socket, FileDescriptor messages)
        : pid_(pid)
        , socket_(std::move(socket))
        , messages_(std::move(messages))
    {}

    pid_t pid_;
    FileDescriptor socket_;
    FileDescriptor messages_;
};

struct PictureReader::Job {
    Job(std::unique_ptr<DecoderHelper> started, qreal devicePixelRatio)
        : helper(std::move(started))
        , answer(devicePixelRatio)
    {}
    std::unique_ptr<DecoderHelper> helper;
    AnswerReader answer;
    std::unique_ptr<QSocketNotifier> notifier;
};

QString PictureReader::installedHelper()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' +
                           QStringLiteral(TILMORA_DECODER_FROM_PROGRAM));
}

PictureReader::PictureReader(QObject* parent)
    : QObject(parent)
{
    timeLimit_.setSingleShot(true);
    timeLimit_.setInterval(kDefaultTimeLimit);
    connect(&timeLimit_, &QTimer::timeout, this, [this] { finish(kDamaged); });
    if (QCoreApplication::instance() != nullptr)
        helperCommand_ = QStringList{installedHelper()};
}

PictureReader::~PictureReader() = default;

void PictureReader::setHelperCommand(const QStringList& command)
{
    helperCommand_ = command;
    ready_.reset();
}

void PictureReader::startHelperAhead()
{
    if (ready_ == nullptr)
        ready_ = DecoderHelper::start(helperCommand_);
}

void PictureReader::read(const QString& path, qreal devicePixelRatio)
{
    cancel();
    const auto opened = openPictureFile(path);
    if (const auto* refusal = std::get_if<Refusal>(&opened)) {
        reportLater(*refusal);
        return;
    }
    std::unique_ptr<DecoderHelper> helper = helperWith(std::get<FileDescriptor>(opened), devicePixelRatio);
    if (helper == nullptr) {
        reportLater(kDamaged);
        return;
    }
    job_ = std::make_unique<Job>(std::move(helper), devicePixelRatio);
    job_->notifier = std::make_unique<QSocketNotifier>(job_->helper->socket(), QSocketNotifier::Read);
    connect(job_->notifier.get(), &QSocketNotifier::activated, this, &PictureReader::answerArrived);
    timeLimit_.start();
}

// The helper waiting, handed the file. One that has gone meanwhile (ended from outside) is replaced
// once by a new one.
std::unique_ptr<DecoderHelper> PictureReader::helperWith(const FileDescriptor& file, qreal devicePixelRatio)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        startHelperAhead();
        std::unique_ptr<DecoderHelper> helper = std::move(ready_);
        if (helper != nullptr && helper->send(file.get(), devicePixelRatio))
            return helper;
    }
    return nullptr;
}

void PictureReader::cancel()
{
    ++reads_;
    timeLimit_.stop();
    if (job_ == nullptr)
        return;
    // This may run inside the notifier's own signal: it goes once that is over.
    job_->notifier->setEnabled(false);
    job_->notifier.release()->deleteLater();
    job_.reset();
}

void PictureReader::answerArrived()
{
    const AnswerReader::Progress progress = job_->answer.readAvailable(job_->helper->socket());
    if (progress != AnswerReader::Progress::Reading)
        finish(job_->answer.result());
}

// The helper's work is over either way: it is ended, and the next one started once the answer has
// been handled, so starting it never delays what the answer brings on screen.
void PictureReader::finish(const LoadResult& result)
{
    cancel();
    QTimer::singleShot(0, this, &PictureReader::startHelperAhead); // before the signal, which may delete this
    emit finished(result);
}

void PictureReader::reportLater(const Refusal& refusal)
{
    QTimer::singleShot(0, this, [this, refusal, read = reads_] {
        if (read == reads_)
            emit finished(refusal);
    });
}

LoadResult PictureReader::readNow(const QString& path, qreal devicePixelRatio)
{
    cancel();
    const auto opened = openPictureFile(path);
    if (const auto* refusal = std::get_if<Refusal>(&opened))
        return *refusal;
    const std::unique_ptr<DecoderHelper> helper =
        helperWith(std::get<FileDescriptor>(opened), devicePixelRatio);
    if (helper == nullptr)
        return kDamaged;
    AnswerReader answer(devicePixelRatio);
    const auto deadline = std::chrono::steady_clock::now() + timeLimit_.intervalAsDuration();
    while (answer.readAvailable(helper->socket()) == AnswerReader::Progress::Reading) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd waiting{helper->socket(), POLLIN, 0};
        if (left <= 0ms || ::poll(&waiting, 1, static_cast<int>(left.count())) == 0)
            break;
    }
    return answer.result();
}

} // namespace tilmora
