#include "app/pages/MeasurementPage.h"

#include "app/pages/PageWidgets.h"
#include "text/MessageTable.h"

#include <QEvent>
#include <QLocale>
#include <QToolButton>

namespace tesmar {

MeasurementPage::MeasurementPage(const char* name, const PageContext& context, QWidget* parent)
    : QWidget(parent), ctx_(context)
{
    setObjectName(name);
}

void MeasurementPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

QString MeasurementPage::msg(Msg key) const
{
    return QString::fromStdString(ctx_.messages.text(key));
}

char MeasurementPage::decimalSeparator() const
{
    return QLocale().decimalPoint().at(0).toLatin1();
}

bool MeasurementPage::deviceReady(QToolButton* pressed)
{
    if (ctx_.requireDevice && !ctx_.requireDevice()) {
        pressed->setChecked(false);
        return false;
    }
    return true;
}

void MeasurementPage::showRunning(QToolButton* pressed, QToolButton* other, int pageIndex)
{
    if (other)
        other->setEnabled(false);
    pressed->setText(msg(Msg::strReset));
    pressed->setStyleSheet("color: red");
    pressed->setToolTip(msg(Msg::strWaitReset));
    ctx_.setStatusText(msg(Msg::strWaitReset));
    ctx_.lockPages(pageIndex);
}

void MeasurementPage::restoreRunButtons(QToolButton* single, QToolButton* cycle)
{
    ShowRunButtonsIdle(single, cycle, ctx_.messages);
    ctx_.setStatusText({});
    ctx_.unlockPages();
}

} // namespace tesmar
