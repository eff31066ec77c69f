#include "deferrediconstyle.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>

namespace tilmora {

namespace {

// Stands for a style icon until it is needed, then asks the style for it once.
class StyleIconEngine final : public QIconEngine
{
public:
    StyleIconEngine(const QStyle* style, QStyle::StandardPixmap which)
        : style_(style)
        , which_(which)
    {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size / scale, scale, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }

    QIconEngine* clone() const override { return new StyleIconEngine(*this); }

    QString key() const override { return QStringLiteral("tilmora-deferred-style-icon"); }

private:
    StyleIconEngine(const StyleIconEngine&) = default;

    const QIcon& icon()
    {
        if (!fetched_) {
            if (style_)
                icon_ = style_->standardIcon(which_);
            fetched_ = true;
        }
        return icon_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    bool fetched_ = false;
    QIcon icon_;
};

} // namespace

DeferredIconStyle::DeferredIconStyle(QStyle* base)
    : QProxyStyle(base)
{}

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                      const QWidget* widget) const
{
    if (standardIcon == SP_ToolBarHorizontalExtensionButton ||
        standardIcon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new StyleIconEngine(baseStyle(), standardIcon));
    return QProxyStyle::standardIcon(standardIcon, option, widget);
}

DeferredIconStyle* deferredIconsOfCurrentStyle()
{
    return new DeferredIconStyle(QStyleFactory::create(QApplication::style()->name()));
}

} // namespace tilmora
