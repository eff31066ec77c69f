// Opening a picture from outside the game: named when the program starts, or dropped onto it.

#include "mainwindow/frmmain.h"
#include "mainwindow/messages.h"

#include <QMimeData>
#include <QtTest>

// Records each box, or "hidden" for one shown before the window is.
struct Messages final : tilmora::MessageBoxes {
    QStringList shown;
    void inform(QWidget* parent, const QString& text) override { warn(parent, text); }
    void warn(QWidget* w, const QString& text) override { shown << (w->isVisible() ? text : "hidden"); }
};

// A read through the decoder helper, given time for a sanitizer build on a loaded machine.
constexpr int kReadTimeout = 30'000;

class OpeningTest : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<Messages> messages_ = std::make_shared<Messages>();
    std::unique_ptr<tilmora::frmmain> window_;

private slots:
    void init()
    {
        QImage(64, 64, QImage::Format_RGB32).save(dir_.filePath("photo.png"));
        messages_->shown.clear();
        window_ = std::make_unique<tilmora::frmmain>(
            tilmora::frmmain::Services{nullptr, messages_, {}, 1, {TILMORA_DECODER}});
    }

    // A bad file named at start-up gets its message over the shown window; the game starts without it.
    void badFileNamedAtStartUp()
    {
        window_->loadPictureOnceShown(dir_.filePath("gone.png"));
        window_->show();
        QTRY_COMPARE_WITH_TIMEOUT(messages_->shown, QStringList{"“gone.png” does not exist."}, kReadTimeout);
        QVERIFY(!window_->game().flagforload() && window_->findChild<QWidget*>("lblhelp")->isVisible());
    }

    // Over a game in play, only a drag of one local file is taken, as a copy, and loaded as Load
    // Picture would: a picture replaces the game, a file that cannot be used leaves it as it was.
    // Anything else is refused as it hovers and, dropped all the same, changes nothing.
    void dropOfOneLocalFile_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("after");
        const auto at = [this](const char* name) { return QUrl::fromLocalFile(dir_.filePath(name)); };
        QTest::newRow("picture") << QList{at("photo.png")} << "taken, board 0, boxes 0";
        QTest::newRow("missing file") << QList{at("gone.png")} << "taken, board 1, boxes 1";
        QTest::newRow("two files") << QList{at("photo.png"), at("gone.png")} << "refused, board 1, boxes 0";
        QTest::newRow("web address") << QList{QUrl("https://a.example/b.png")} << "refused, board 1, boxes 0";
        QTest::newRow("text") << QList<QUrl>() << "refused, board 1, boxes 0";
    }
    void dropOfOneLocalFile()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, after);
        window_->loadPictureFile(dir_.filePath("photo.png"));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->picturefile().isEmpty(), kReadTimeout);
        window_->start1_Click();
        // The drag comes in as one picture, so that Qt hands the window the drop at all, and then
        // hovers as the row says.
        QMimeData picture, data;
        picture.setUrls({QUrl::fromLocalFile(dir_.filePath("photo.png"))});
        data.setUrls(urls);
        data.setText("photo.png");
        QDragEnterEvent enter({}, Qt::CopyAction | Qt::MoveAction, &picture, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window_.get(), &enter);
        QDragMoveEvent move({}, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(window_.get(), &move);
        const bool taken = move.isAccepted() && move.dropAction() == Qt::CopyAction;
        QDropEvent drop({}, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window_.get(), &drop);
        QCoreApplication::sendPostedEvents(); // the drop handled, and any file it opened being read
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isReadingPicture(), kReadTimeout);
        const QString state = QStringLiteral("%1, board %2, boxes %3").arg(taken ? "taken" : "refused");
        QCOMPARE(state.arg(window_->game().hasBoard()).arg(messages_->shown.size()), after);
    }
};

QTEST_MAIN(OpeningTest)
#include "tst_opening.moc"
