#include "ui/tray/PopupWindow.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>
#include <utility>

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

PopupWindow::PopupWindow(QWidget* parent) : QWidget(parent), m_scroll(new QScrollArea) {
    // X11 popups grab pointer and keyboard, so typing goes here and a click anywhere else closes
    // the window. Wayland needs a parent surface for that; there a frameless tool window that
    // closes when it loses activation does the same job.
    setWindowFlags(popupFlags());
    setAttribute(Qt::WA_NoMouseReplay);
    setWindowTitle(QStringLiteral("Pobi"));

    setTranslucent(QGuiApplication::platformName() != QStringLiteral("xcb"));

    // The page is sized by fit(), not by the scroll area; the window paints the background.
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setAutoFillBackground(false);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);

    // Tab onto a control below the fold brings it into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && m_content && m_content->isAncestorOf(now))
            m_scroll->ensureWidgetVisible(now, 0, 12);
    });
}

PopupWindow::~PopupWindow() = default;

Qt::WindowFlags PopupWindow::popupFlags() const {
    if (usesPopupGrab())
        return Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint;
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
}

void PopupWindow::setWindowed(bool windowed) {
    m_windowed = windowed;
    if (windowed) {
        setWindowFlags(Qt::Window);
        setTranslucent(false);
        clearMask();
    } else {
        setWindowFlags(popupFlags()); // a tray came after all
    }
}

bool PopupWindow::usesPopupGrab() const {
    return !QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

void PopupWindow::setContent(QWidget* content) {
    if (QWidget* old = m_scroll->takeWidget())
        old->deleteLater();
    m_content = content;
    if (content)
        m_scroll->setWidget(content);
    fit();
}

bool PopupWindow::scrolls() const {
    return m_scroll->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
}

void PopupWindow::fit() {
    if (!m_content)
        return;
    const QSize hint = m_content->sizeHint()
                           .expandedTo(m_content->minimumSize())
                           .boundedTo(m_content->maximumSize());
    const int w = hint.width();
    const int h = m_content->hasHeightForWidth()
                      ? std::max(m_content->heightForWidth(w), m_content->minimumHeight())
                      : hint.height();
    m_content->resize(w, h);
    m_preferred = QSize(w, h);
    reposition();
}

bool PopupWindow::eventFilter(QObject* watched, QEvent* event) {
    // An open drop-down list closes itself on Escape while the key's shortcuts are looked up;
    // the same press then reaches this window, where it must not close the popup as well.
    if (watched == windowHandle() && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        QWidget* const top = QApplication::activePopupWidget();
        m_escapeForChild = top && top != this;
    }
    // The page asks for a new size (another page, a wrapped caption, a row shown or hidden).
    if (watched == m_scroll->viewport() && event->type() == QEvent::LayoutRequest)
        fit();
    return QWidget::eventFilter(watched, event);
}

void PopupWindow::popup(const QRect& anchor) {
    m_anchor = anchor;
    m_pointer = QCursor::pos();
    fit();
    if (m_windowed)
        m_placed = true; // from now on it stays where the user moves it
    show();
    raise();
    activateWindow();
    if (m_content)
        m_content->setFocus(Qt::PopupFocusReason);
}

bool PopupWindow::justClosed() const {
    return m_closedAt.isValid() && m_closedAt.elapsed() < 300;
}

QRect PopupWindow::place(QSize size, const QRect& anchor, QPoint pointer, const QRect& available) {
    const int maxX = available.right() + 1 - gap - size.width();
    if (anchor.isValid()) {
        const int below = available.bottom() + 1 - gap - (anchor.bottom() + 1 + gap);
        const int above = anchor.top() - gap - (available.top() + gap);
        const bool down = size.height() <= below || below >= above;
        const int h = std::max(0, std::min(size.height(), down ? below : above));
        const int x =
            std::max(available.left() + gap, std::min(anchor.right() + 1 - size.width(), maxX));
        return {x, down ? anchor.bottom() + 1 + gap : anchor.top() - gap - h, size.width(), h};
    }
    const int h = std::min(size.height(), available.height() - 2 * gap);
    const int maxY = available.bottom() + 1 - gap - h;
    return {std::max(available.left() + gap, std::min(pointer.x() + gap, maxX)),
            std::max(available.top() + gap, std::min(pointer.y() + gap, maxY)), size.width(), h};
}

void PopupWindow::reposition() {
    if (!m_preferred.isValid())
        return;
    QScreen* screen = screenFor(m_anchor, m_pointer);
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(), m_preferred);
    // A window without a tray stays where the user put it, only kept on screen; a popup hangs
    // from the tray icon (or the pointer).
    const QRect anchor = m_windowed ? QRect() : m_anchor;
    const QPoint pointer = m_windowed ? pos() - QPoint(gap, gap) : m_pointer;
    QRect at = place(m_preferred, anchor, pointer, available);
    const bool scroll = at.height() < m_preferred.height();
    m_scroll->setVerticalScrollBarPolicy(scroll ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (scroll) {
        // The scroll bar goes beside the page, not over it.
        const int bar = m_scroll->verticalScrollBar()->sizeHint().width();
        at = place(m_preferred + QSize(bar, 0), anchor, pointer, available);
    }
    setFixedSize(at.size());
    if (m_windowed && !m_placed)
        at.moveCenter(available.center());
    move(at.topLeft());
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
        if (!std::exchange(m_escapeForChild, false))
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
    windowHandle()->installEventFilter(this);
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
