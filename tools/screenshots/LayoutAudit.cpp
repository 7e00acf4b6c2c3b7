#include "LayoutAudit.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QRadioButton>
#include <QRect>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextDocument>
#include <QWidget>

namespace tesmar {
namespace {

QString Describe(const QWidget* w)
{
    return (w->objectName().isEmpty() ? QString("<%1>").arg(w->metaObject()->className()) : w->objectName());
}

QString Size(const QSize& s)
{
    return QString("%1x%2").arg(s.width()).arg(s.height());
}

// Controls the program names; Qt's own parts (qt_…) and unnamed helpers are not checked.
bool IsNamedControl(const QWidget* w, const QWidget& window)
{
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith("qt_") && w->isVisible() && w->window() == &window;
}

// The scroll area whose viewport `parent` is, if any.
const QAbstractScrollArea* ScrollingParent(const QWidget* parent)
{
    const auto* area = parent ? qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) : nullptr;
    return area && area->viewport() == parent ? area : nullptr;
}

// `w`'s rectangle in `ancestor`'s coordinates, cut to what each widget between them shows.
// `cut` receives the first container that cuts it off where no scroll bar can bring it back.
QRect VisibleRectIn(const QWidget* w, const QWidget* ancestor, QString* cut = nullptr)
{
    QRect r = w->rect();
    for (const QWidget* c = w; c != ancestor && c->parentWidget(); c = c->parentWidget()) {
        const QWidget* p = c->parentWidget();
        r.translate(c->pos());
        const QRect area = p->rect();
        const QAbstractScrollArea* scroll = ScrollingParent(p);
        const bool scrollsX = scroll && scroll->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
        const bool scrollsY = scroll && scroll->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
        const bool outX = r.left() < area.left() || r.right() > area.right();
        const bool outY = r.top() < area.top() || r.bottom() > area.bottom();
        if (cut && cut->isEmpty() && ((outX && !scrollsX) || (outY && !scrollsY)) && !r.isEmpty())
            *cut = Describe(scroll ? scroll : p);
        r = r.intersected(area);
        if (p == ancestor)
            break;
    }
    return r;
}

// The size below which a layout would not squeeze the widget (as QLayout computes it).
QSize SmallestSize(const QWidget* w)
{
    const QSize hint = w->sizeHint();
    const QSize minHint = w->minimumSizeHint();
    const QSizePolicy policy = w->sizePolicy();
    auto axis = [](int explicitMin, QSizePolicy::Policy p, int hint, int minHint) {
        if (explicitMin > 0)
            return explicitMin;
        if (p == QSizePolicy::Ignored)
            return 0;
        return (p & QSizePolicy::ShrinkFlag) ? minHint : hint;
    };
    return {axis(w->minimumWidth(), policy.horizontalPolicy(), hint.width(), minHint.width()),
            axis(w->minimumHeight(), policy.verticalPolicy(), hint.height(), minHint.height())};
}

QString PlainText(QString text)
{
    text.remove('&');
    return text;
}

// Room the text of a control needs, from its font's metrics; invalid when it has none.
QSize TextNeed(const QWidget* w, const QString& text)
{
    if (text.isEmpty())
        return {};
    const QSize s = w->fontMetrics().size(0, text);
    return s;
}

// The text of labels, buttons, line edits and lists compared with the room they give it.
QString TextProblem(const QWidget* w)
{
    const QStyle* style = w->style();
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        if (label->wordWrap() || label->text().isEmpty() || Qt::mightBeRichText(label->text()))
            return {};
        const QSize need = TextNeed(w, label->text());
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        if (room.width() < need.width() || room.height() < need.height())
            return QString("text \"%1\" needs %2, has %3").arg(label->text(), Size(need), Size(room.size()));
        return {};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        const QString text = PlainText(button->text());
        if (text.isEmpty())
            return {};
        QSize need = TextNeed(w, text);
        if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
            need.rwidth() += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                             style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
        else
            need.rwidth() += 4; // the frame's edges
        if (!button->icon().isNull())
            need.rwidth() += button->iconSize().width();
        if (button->width() < need.width() || button->height() < need.height())
            return QString("text \"%1\" needs %2, has %3").arg(text, Size(need), Size(button->size()));
        return {};
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        const QSize need = TextNeed(w, edit->displayText());
        if (!need.isValid())
            return {};
        const int frame = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w) : 0;
        const QMargins margins = edit->textMargins();
        const int room = edit->width() - 2 * frame - 4 - margins.left() - margins.right();
        if (room < need.width())
            return QString("text \"%1\" needs %2 px, has %3").arg(edit->displayText()).arg(need.width()).arg(room);
        return {};
    }
    if (const auto* list = qobject_cast<const QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        option.frame = list->hasFrame();
        const int room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list).width();
        for (int i = 0; i < list->count(); ++i) {
            const int need = w->fontMetrics().horizontalAdvance(list->itemText(i));
            if (room < need)
                return QString("item \"%1\" needs %2 px, has %3").arg(list->itemText(i)).arg(need).arg(room);
        }
    }
    return {};
}

bool IsAncestor(const QWidget* ancestor, const QWidget* w)
{
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (p == ancestor)
            return true;
    return false;
}

const QWidget* CommonAncestor(const QWidget* a, const QWidget* b)
{
    for (const QWidget* p = a->parentWidget(); p; p = p->parentWidget())
        if (IsAncestor(p, b))
            return p;
    return nullptr;
}

} // namespace

QStringList AuditLayout(QWidget& window)
{
    QStringList problems;
    QList<QWidget*> controls;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (IsNamedControl(w, window))
            controls.append(w);

    for (const QWidget* w : controls) {
        QString cut;
        VisibleRectIn(w, &window, &cut);
        if (!cut.isEmpty())
            problems << QString("%1 is cut off by %2").arg(Describe(w), cut);
        // The editor inside a spin box or list has no frame of its own; its box is checked.
        const bool innerEditor = qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) ||
                                 qobject_cast<const QComboBox*>(w->parentWidget());
        const QSize smallest = innerEditor ? QSize() : SmallestSize(w);
        if (w->width() < smallest.width() || w->height() < smallest.height())
            problems << QString("%1 is %2, smaller than its minimum %3")
                            .arg(Describe(w), Size(w->size()), Size(smallest));
        if (const QString text = TextProblem(w); !text.isEmpty())
            problems << QString("%1: %2").arg(Describe(w), text);
    }

    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j) {
            const QWidget* a = controls[i];
            const QWidget* b = controls[j];
            if (IsAncestor(a, b) || IsAncestor(b, a))
                continue;
            const QWidget* common = CommonAncestor(a, b);
            const QRect ra = VisibleRectIn(a, common);
            const QRect rb = VisibleRectIn(b, common);
            if (ra.intersects(rb))
                problems << QString("%1 overlaps %2").arg(Describe(a), Describe(b));
        }
    return problems;
}

QStringList AuditFitsScreen(QWidget& window, const QRect& screen)
{
    QStringList problems;
    if (window.width() > screen.width() || window.height() > screen.height())
        problems << QString("%1 is %2, larger than the screen %3")
                        .arg(Describe(&window), Size(window.size()), Size(screen.size()));
    const QSize minimum = window.minimumSize().expandedTo(window.layout() ? window.layout()->totalMinimumSize()
                                                                        : QSize());
    if (minimum.width() > screen.width() || minimum.height() > screen.height())
        problems << QString("%1 cannot be smaller than %2, the screen is %3")
                        .arg(Describe(&window), Size(minimum), Size(screen.size()));
    return problems;
}

} // namespace tesmar
