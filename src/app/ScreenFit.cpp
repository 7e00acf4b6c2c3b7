#include "app/ScreenFit.h"

#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace tesmar {
namespace {

// Asks for the content's sizes, but never for more than the screen offers.
class ScreenBoundScroll final : public QScrollArea {
public:
    explicit ScreenBoundScroll(QWidget* parent) : QScrollArea(parent) {}

    QSize minimumSizeHint() const override { return bounded(widget()->minimumSizeHint()); }
    QSize sizeHint() const override { return bounded(widget()->sizeHint()); }

    // The content's layout changes (new texts) are watched from here.
    void watchContent() { widget()->installEventFilter(this); }

protected:
    // At each opening, and whenever the content grows while shown, a window smaller than its
    // content (a design size, a stored size, longer texts) grows to it, as far as the screen
    // allows.
    void showEvent(QShowEvent* event) override
    {
        QScrollArea::showEvent(event);
        growWindow();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == widget() && event->type() == QEvent::LayoutRequest && isVisible())
            QMetaObject::invokeMethod(this, &ScreenBoundScroll::growWindow, Qt::QueuedConnection);
        return QScrollArea::eventFilter(watched, event);
    }

private:
    void growWindow()
    {
        QWidget* shown = window();
        const QSize need = bounded(widget()->minimumSizeHint());
        if (shown->width() < need.width() || shown->height() < need.height())
            shown->resize(shown->size().expandedTo(need));
    }

    QSize bounded(QSize content) const
    {
        const QScreen* screen = window()->screen();
        if (!screen)
            return content;
        const QSize room = screen->availableGeometry().size();
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        // A scroll bar along one side takes room from the other.
        if (content.width() > room.width())
            content.rheight() += bar;
        if (content.height() > room.height())
            content.rwidth() += bar;
        return content.boundedTo(room);
    }
};

} // namespace

void ScrollWhenScreenTooSmall(QWidget* window)
{
    QLayout* content = window->layout();
    if (!content)
        return;
    const bool fixed = content->sizeConstraint() == QLayout::SetFixedSize;
    auto* inner = new QWidget;
    inner->setLayout(content); // takes the layout and its controls from the window
    auto* area = new ScreenBoundScroll(window);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(inner);
    area->watchContent();
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(area);
    if (fixed)
        outer->setSizeConstraint(QLayout::SetFixedSize);
    // A size made for a larger screen shrinks.
    if (window->testAttribute(Qt::WA_Resized) && window->screen())
        window->resize(window->size().boundedTo(window->screen()->availableGeometry().size()));
}

} // namespace tesmar
