#pragma once

// The main window: the menu, the play area (quick help, fitted picture or board), the status row
// and the clock. It turns the player's commands, clicks and keys into calls on the game and draws
// what the game says; the rules themselves live in puzzle::PuzzleGame.

#include "picture/loadresult.h"
#include "puzzle/puzzlegame.h"
#include "statusrow.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QKeyEvent;

namespace tilmora {

class Board;
class MessageBoxes;
class ParAdvisor;
class PictureBox;
class PictureChooser;
class PictureIntake;
class frmhelp;
class frmhelpcontent;

class frmmain final : public QMainWindow
{
    Q_OBJECT
public:
    // What the window needs from outside. Tests hand in fakes; anything left empty gets the real
    // thing (the file dialog, modal message boxes, the system clocks, a random seed, the decoder
    // helper installed with the game).
    struct Services {
        std::shared_ptr<PictureChooser> cdl;
        std::shared_ptr<MessageBoxes> messages;
        std::function<puzzle::ClockReading()> clock;
        std::optional<puzzle::RandomEngine::result_type> seed;
        QStringList decoder; // the decoder helper's command line
    };

    explicit frmmain(Services services = {}, QWidget* parent = nullptr);
    ~frmmain() override { Form_Unload(); }

    [[nodiscard]] const puzzle::PuzzleGame& game() const { return game_; }
    // The path of the picture on show; empty before the first load.
    [[nodiscard]] const QString& picturefile() const { return picturefile_; }
    // The board on screen, with the pieces (picturesplit).
    [[nodiscard]] const Board* board() const { return board_; }

    // Loading a picture the player named: chosen with Load Picture, dropped onto the window or
    // given on the command line, all alike. The picture is read while the window goes on (the
    // pointer busy over it), then fitted and shown; on failure the player is told why and nothing
    // changes. Loading another picture, or Escape, gives up the one being read.
    void loadPictureFile(const QString& path);
    [[nodiscard]] bool isReadingPicture() const;
    // A picture named when the program starts: loaded as above once the window is on screen, so
    // a file that cannot be used gets its message over the window.
    void loadPictureOnceShown(const QString& path);

    // Menu commands.
    void loadpicture1_Click();
    void start1_Click();
    void hint1_Click();
    void easy1_Click() { chooseLevel(puzzle::Level::Easy); }
    void hard1_Click() { chooseLevel(puzzle::Level::Hard); }
    void threebythree_Click() { chooseSize(3); }
    void fourbyfour_Click() { chooseSize(4); }
    void sixbysix_Click() { chooseSize(6); }
    void numbers1_Click();
    void content1_Click();
    void opicture1_Click();
    void exit1_Click() { close(); }

    // The board (a click on a piece, or Enter on it) and the clock.
    void picturesplit_Click(int index);
    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void takePicture(const QString& path, const LoadedPicture& picture);
    void buildMenu();
    void buildPlayArea();
    void chooseLevel(puzzle::Level level);
    void chooseSize(int n);
    void endOfGame();
    [[nodiscard]] std::vector<int> boardCells() const;
    void showHint(int piece);
    void clearHintMark();
    void aimTimer1(puzzle::SteadyTime now);

    Services services_;
    puzzle::PuzzleGame game_;
    puzzle::RandomEngine random_;
    QString picturefile_;
    PictureIntake* intake_ = nullptr;
    QPixmap fittedPicture_;

    // Controls.
    QTimer Timer1;
    QWidget* playArea_ = nullptr;
    QWidget* lblhelp_ = nullptr; // the quick-help panel
    PictureBox* pictureoriginal_ = nullptr;
    std::unique_ptr<StatusRow> statusRow_; // made with the play area
    Board* board_ = nullptr;
    ParAdvisor* par_ = nullptr;
    QPointer<QWidget> hintMark_;
    QPointer<frmhelp> frmhelp_;
    QPointer<frmhelpcontent> frmhelpcontent_;

    // Menu.
    QAction* hint1_ = nullptr;
    QAction* easy1_ = nullptr;
    QAction* hard1_ = nullptr;
    QAction* threebythree_ = nullptr;
    QAction* fourbyfour_ = nullptr;
    QAction* sixbysix_ = nullptr;
    QAction* numbers1_ = nullptr;
};

} // namespace tilmora
