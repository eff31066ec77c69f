#include "mainwindow/frmmain.h"

#include <QtTest>

class FrmmainTest : public QObject
{
    Q_OBJECT
private slots:
    void opensWithEasyAndFourByFourChecked();
};

void FrmmainTest::opensWithEasyAndFourByFourChecked()
{
    tilmora::frmmain window;
    QVERIFY(window.findChild<QAction*>(QStringLiteral("easy1"))->isChecked());
}

QTEST_MAIN(FrmmainTest)
#include "tst_frmmain.moc"
