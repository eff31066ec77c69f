// The fuzzers' saved inputs (the seed corpus and every input that once broke something), replayed
// through the same checks the fuzzers run, built with the ordinary compiler and sanitizers.

#include "gamecommands.h"
#include "loadercheck.h"

#include <QDir>
#include <QtTest>

#include <memory>
#include <span>

namespace {

std::span<const std::uint8_t> asBytes(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

} // namespace

class FuzzCorpusTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void gameInputsKeepTheRules_data();
    void gameInputsKeepTheRules();
    void loaderInputsKeepTheRules_data();
    void loaderInputsKeepTheRules();

private:
    static void addInputs(const char* target);

    std::unique_ptr<tilmora::fuzzing::LoaderCheck> loaderCheck_;
};

void FuzzCorpusTest::initTestCase()
{
    loaderCheck_ = std::make_unique<tilmora::fuzzing::LoaderCheck>();
}

void FuzzCorpusTest::cleanupTestCase()
{
    loaderCheck_.reset();
}

void FuzzCorpusTest::addInputs(const char* target)
{
    QTest::addColumn<QByteArray>("bytes");
    const QDir folder(QStringLiteral(TILMORA_FUZZ_CORPUS "/") + QString::fromLatin1(target));
    const auto names = folder.entryList(QDir::Files, QDir::Name);
    QVERIFY2(!names.isEmpty(), qPrintable(folder.path()));
    for (const QString& name : names) {
        QFile file(folder.filePath(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QTest::newRow(qPrintable(name)) << file.readAll();
    }
}

void FuzzCorpusTest::gameInputsKeepTheRules_data()
{
    addInputs("fuzz_game");
}

void FuzzCorpusTest::gameInputsKeepTheRules()
{
    QFETCH(QByteArray, bytes);
    const auto failure = tilmora::fuzzing::playGameCommands(asBytes(bytes));
    QVERIFY2(!failure, failure ? failure->c_str() : "");
}

void FuzzCorpusTest::loaderInputsKeepTheRules_data()
{
    addInputs("fuzz_loader");
}

void FuzzCorpusTest::loaderInputsKeepTheRules()
{
    QFETCH(QByteArray, bytes);
    const auto failure = loaderCheck_->check(asBytes(bytes));
    QVERIFY2(!failure, failure ? qPrintable(*failure) : "");
}

QTEST_MAIN(FuzzCorpusTest)
#include "tst_fuzzcorpus.moc"
