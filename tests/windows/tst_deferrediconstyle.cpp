#include "app/deferrediconstyle.h"

#include <QStyleFactory>
#include <QtTest>

#include <memory>

using tilmora::DeferredIconStyle;

namespace {

// Counts how often the menu bar's overflow arrows are asked of it.
class CountingStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override
    {
        if (standardIcon == SP_ToolBarHorizontalExtensionButton)
            ++asked;
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    }

    mutable int asked = 0;
};

} // namespace

class TestDeferredIconStyle : public QObject
{
    Q_OBJECT

private slots:
    void fetchesTheOverflowArrowOnlyWhenDrawn();
};

void TestDeferredIconStyle::fetchesTheOverflowArrowOnlyWhenDrawn()
{
    auto* base = new CountingStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const DeferredIconStyle style(base);
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const QImage expected =
        fusion->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).toImage();

    const QIcon arrow = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    QCOMPARE(base->asked, 0);

    QCOMPARE(arrow.pixmap(16, 16).toImage(), expected);
    QCOMPARE(base->asked, 1);
    // Asked once, kept: drawing it again asks nothing more.
    QVERIFY(!arrow.pixmap(16, 16).isNull());
    QCOMPARE(base->asked, 1);
}

QTEST_MAIN(TestDeferredIconStyle)
#include "tst_deferrediconstyle.moc"
