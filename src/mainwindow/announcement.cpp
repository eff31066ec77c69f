#include "announcement.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

namespace tilmora {

namespace {

// An unseen widget that a screen reader reads as a notification as it shows.
class Announcement final : public QWidget
{
public:
    Announcement(QWidget* parent, const QString& text)
        : QWidget(parent)
    {
        setAccessibleName(text);
        setGeometry(0, 0, 1, 1);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
};

class AnnouncementAccessible final : public QAccessibleWidget
{
public:
    explicit AnnouncementAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::Notification)
    {}
};

QAccessibleInterface* announcementFactory(const QString& className, QObject* object)
{
    auto* found = className == QLatin1String("QWidget") ? dynamic_cast<Announcement*>(object) : nullptr;
    return found ? new AnnouncementAccessible(found) : nullptr;
}

} // namespace

void announce(QWidget* parent, const QString& text)
{
    static const bool installed = (QAccessible::installFactory(&announcementFactory), true);
    Q_UNUSED(installed);
    // A new object each time: the screen reader has nothing of it remembered from before.
    static QPointer<Announcement> last;
    delete last.data();
    last = new Announcement(parent, text);
    last->show();
}

} // namespace tilmora
