#include "PopupWindow.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// How far from the tray icon and from the screen's edges the window keeps.
constexpr int gap = 4;

QScreen* screenFor(const QRect& anchor, QPoint pointer) {
    if (anchor.isValid()) {
        if (QScreen* s = QGuiApplication::screenAt(anchor.center()))
            return s;
    }
    if (QScreen* s = QGuiApplication::screenAt(pointer))
        return s;
    return QGuiApplication::primaryScreen();
}

} // namespace

PopupWindow::PopupWindow(QWidget* parent) : QWidget(parent) {
    // X11 popups grab pointer and keyboard, so typing goes here and a click anywhere else closes
    // the window. Wayland needs a parent surface for that; there a frameless tool window that
    // closes when it loses activation does the same job.
    if (usesPopupGrab())
        setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    else
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_NoMouseReplay);
    setWindowTitle(QStringLiteral("Pobi"));

    setTranslucent(QGuiApplication::platformName() != QStringLiteral("xcb"));

    // The fixed-size layout makes the window follow the page's size hint.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

PopupWindow::~PopupWindow() = default;

void PopupWindow::setWindowed(bool windowed) {
    m_windowed = windowed;
    if (windowed) {
        setWindowFlags(Qt::Window);
        setTranslucent(false);
        clearMask();
    }
}

bool PopupWindow::usesPopupGrab() const {
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

void PopupWindow::setContent(QWidget* content) {
    if (m_content)
        m_content->deleteLater();
    m_content = content;
    if (content)
        layout()->addWidget(content);
}

void PopupWindow::popup(const QRect& anchor) {
    m_anchor = anchor;
    m_pointer = QCursor::pos();
    adjustSize();
    if (!m_windowed) {
        reposition();
    } else if (!m_placed) { // later it stays where the user moved it
        if (QScreen* screen = screenFor({}, m_pointer))
            move(screen->availableGeometry().center() - rect().center());
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    if (m_content)
        m_content->setFocus(Qt::PopupFocusReason);
}

bool PopupWindow::justClosed() const {
    return m_closedAt.isValid() && m_closedAt.elapsed() < 300;
}

QPoint PopupWindow::place(QSize size, const QRect& anchor, QPoint pointer, const QRect& available) {
    QPoint at;
    if (anchor.isValid()) {
        at = QPoint(anchor.right() + 1 - size.width(), anchor.bottom() + 1 + gap);
        if (at.y() + size.height() > available.bottom() + 1 - gap)
            at.setY(anchor.top() - gap - size.height()); // a tray at the bottom of the screen
    } else {
        at = pointer + QPoint(gap, gap);
    }
    const int maxX = available.right() + 1 - gap - size.width();
    const int maxY = available.bottom() + 1 - gap - size.height();
    at.setX(std::max(available.left() + gap, std::min(at.x(), maxX)));
    at.setY(std::max(available.top() + gap, std::min(at.y(), maxY)));
    return at;
}

void PopupWindow::reposition() {
    QScreen* screen = screenFor(m_anchor, m_pointer);
    if (!screen)
        return;
    move(place(size(), m_anchor, m_pointer, screen->availableGeometry()));
}

void PopupWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(r, m_windowed ? 0 : radius, m_windowed ? 0 : radius);
    p.fillPath(path, palette().color(QPalette::Window));
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.18);
    p.setPen(QPen(edge, 1));
    p.drawPath(path);
}

void PopupWindow::setToggleShortcut(const QKeySequence& keys) {
    delete m_toggle;
    m_toggle = new QShortcut(keys, this, this, &PopupWindow::dismiss, Qt::WindowShortcut);
}

void PopupWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        dismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopupWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (event->button() == Qt::RightButton && !rect().contains(event->position().toPoint()) &&
        m_anchor.contains(global)) {
        dismiss();
        emit menuRequested(global);
        return;
    }
    QWidget::mousePressEvent(event);
}

void PopupWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_closedAt.invalidate();
    emit opened();
}

void PopupWindow::dismiss() {
    m_dismissing = true;
    close();
    m_dismissing = false;
}

void PopupWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_dismissing)
        m_closedAt.invalidate();
    else
        m_closedAt.start();
    emit closed();
}

void PopupWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_translucent && !m_windowed) {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), radius, radius);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    // The page changed height: stay attached to the tray icon and on screen.
    if (isVisible() && !m_windowed) {
        reposition();
    } else if (isVisible() && screen()) { // a taller page must not push the window off screen
        move(place(size(), {}, pos() - QPoint(gap, gap), screen()->availableGeometry()));
    }
}

void PopupWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !usesPopupGrab() && !m_windowed &&
        isVisible() && !isActiveWindow())
        close();
}

void PopupWindow::setTranslucent(bool translucent) {
    m_translucent = translucent;
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    if (translucent)
        clearMask();
}
