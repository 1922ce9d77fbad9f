#include "ui/controls/SegmentedPicker.h"

#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

// For screen readers the picker is a choice among named values, like a drop-down list: its
// value is the label of the chosen segment.
class PickerAccessible final : public QAccessibleWidget {
public:
    explicit PickerAccessible(SegmentedPicker* picker)
        : QAccessibleWidget(picker, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Value)
            return QAccessibleWidget::text(t);
        const auto* picker = static_cast<const SegmentedPicker*>(widget());
        return picker->label(picker->currentIndex());
    }
};

QAccessibleInterface* pickerAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("SegmentedPicker") && object && object->isWidgetType())
        return new PickerAccessible(static_cast<SegmentedPicker*>(object));
    return nullptr;
}

} // namespace

SegmentedPicker::SegmentedPicker(const QList<Item>& items, int value, const QString& accessibleName,
                                 QWidget* parent)
    : QWidget(parent), m_items(items), m_value(value) {
    static const bool factory = (QAccessible::installFactory(pickerAccessible), true);
    Q_UNUSED(factory);
    setFont(Theme::font(12, QFont::Medium));
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    updateDescription();
}

void SegmentedPicker::setValue(int value) {
    if (value == m_value)
        return;
    m_value = value;
    updateDescription();
    update();
}

int SegmentedPicker::currentIndex() const {
    for (int i = 0; i < count(); ++i)
        if (m_items[i].second == m_value)
            return i;
    return -1;
}

QRect SegmentedPicker::segmentRect(int index) const {
    if (index < 0 || index >= count())
        return {};
    const double w = width() / double(count());
    const int x0 = qRound(index * w);
    const int x1 = qRound((index + 1) * w);
    return {x0, 0, x1 - x0, height()};
}

QSize SegmentedPicker::sizeHint() const {
    int widest = 0;
    for (const auto& item : m_items)
        widest = std::max(widest, fontMetrics().horizontalAdvance(item.first));
    return {count() * (widest + 16), 24};
}

QSize SegmentedPicker::minimumSizeHint() const {
    int widest = 0;
    for (const auto& item : m_items)
        widest = std::max(widest, fontMetrics().horizontalAdvance(item.first));
    return {count() * (widest + 6), 24};
}

int SegmentedPicker::indexAt(const QPoint& pos) const {
    for (int i = 0; i < count(); ++i)
        if (segmentRect(i).contains(pos))
            return i;
    return -1;
}

void SegmentedPicker::choose(int index) {
    if (index < 0 || index >= count())
        return;
    const int v = m_items[index].second;
    m_value = v;
    updateDescription();
    update();
    emit valueChosen(v);
}

void SegmentedPicker::updateDescription() {
    const int i = currentIndex();
    QAccessibleValueChangeEvent event(this, i >= 0 ? m_items[i].first : QString());
    QAccessible::updateAccessibility(&event);
}

void SegmentedPicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = indexAt(event->position().toPoint());
    update();
}

void SegmentedPicker::mouseReleaseEvent(QMouseEvent* event) {
    const int at = indexAt(event->position().toPoint());
    const int pressed = m_pressed;
    m_pressed = -1;
    update();
    if (event->button() == Qt::LeftButton && at >= 0 && at == pressed)
        choose(at);
}

void SegmentedPicker::keyPressEvent(QKeyEvent* event) {
    // Left and Up go back, Right and Down forward; Home and End to either end. With nothing
    // chosen, forward starts at the first segment.
    const int i = currentIndex();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        if (i > 0)
            choose(i - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        if (i < count() - 1)
            choose(i + 1);
        break;
    case Qt::Key_Home:
        choose(0);
        break;
    case Qt::Key_End:
        choose(count() - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void SegmentedPicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor primary = Theme::primary(palette());
    const bool dark = Theme::isDark(palette());
    QPainterPath track;
    track.addRoundedRect(QRectF(rect()), 7, 7);
    p.fillPath(track, Theme::faded(primary, 0.07));
    if (hasFocus()) {
        p.setPen(QPen(Theme::faded(Palette::pobi, 0.6), 1.5));
        p.drawPath(track);
    }

    const int current = currentIndex();
    for (int i = 0; i < count(); ++i) {
        const QRectF seg = QRectF(segmentRect(i)).adjusted(2, 2, -2, -2);
        if (i == current) {
            QPainterPath thumb;
            thumb.addRoundedRect(seg, 5, 5);
            // A raised thumb: the window colour in light mode, a lighter tint in dark mode.
            const QColor fill = dark ? Theme::faded(primary, 0.22) : Theme::background(palette());
            p.fillPath(thumb.translated(0, 0.5), Theme::faded(Qt::black, dark ? 0.3 : 0.12));
            p.fillPath(thumb, fill.alpha() == 255 && !dark ? fill.lighter(104) : fill);
        } else if (i == m_pressed) {
            QPainterPath pressed;
            pressed.addRoundedRect(seg, 5, 5);
            p.fillPath(pressed, Theme::faded(primary, 0.08));
        } else if (i > 0 && i - 1 != current && i != current) {
            // Hairline dividers between unselected neighbours.
            p.setPen(QPen(Theme::faded(primary, 0.12), 1));
            const double x = segmentRect(i).left();
            p.drawLine(QPointF(x, 6), QPointF(x, height() - 6));
        }
        p.setPen(i == current ? primary : Theme::faded(primary, 0.75));
        p.setFont(font());
        p.drawText(segmentRect(i), Qt::AlignCenter, m_items[i].first);
    }
}
