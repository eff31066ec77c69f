// The yardstick for the game's start-up time and memory: a bare QMainWindow with a menu bar and
// an empty central widget of the game's size, which quits as soon as its first frame is painted.

#include "benchsupport.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    for (const char* title : {"Game", "Option", "Quick Help"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    auto* central = new QWidget(&window);
    central->setFixedSize(455, 470);
    window.setCentralWidget(central);
    new tilmora::AfterFirstPaint(&window, &QCoreApplication::quit);
    window.show();
    return QApplication::exec();
}
