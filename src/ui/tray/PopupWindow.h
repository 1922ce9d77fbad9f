#pragma once

#include <QElapsedTimer>
#include <QKeySequence>
#include <QPointer>
#include <QWidget>

// The frameless, rounded window that drops down from the tray icon and hosts the popup's pages.
// Its width is the content's, its height follows the content's size hint as pages change, up to
// the room the screen leaves beside the tray icon; a taller page scrolls. It closes when the user
// clicks elsewhere or presses Escape.
class QScrollArea;
class QShortcut;

class PopupWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int radius = 12;

    explicit PopupWindow(QWidget* parent = nullptr);
    ~PopupWindow() override;

    // Round corners need an alpha channel, which only a compositing desktop shows; without one
    // the window is clipped to its rounded shape instead. On by default except on X11, where
    // the caller knows whether a compositor runs.
    void setTranslucent(bool translucent);

    // With no tray to drop down from, an ordinary window the user can move, titled "Pobi", that
    // stays open when another window takes the focus; closing or Escape only hides it.
    void setWindowed(bool windowed);
    bool windowed() const { return m_windowed; }

    // While the popup holds the keyboard, the global hotkey reaches it as a plain key press;
    // this combination then closes it, as the hotkey would.
    void setToggleShortcut(const QKeySequence& keys);

    // Takes ownership of content.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    // Opens under anchor (the tray icon's rectangle in global coordinates) when it is valid,
    // otherwise next to the mouse pointer, always inside the screen's available area, and takes
    // the keyboard focus.
    void popup(const QRect& anchor);

    // Closes the window on purpose (Escape, the hotkey, the tray icon, a page).
    void dismiss();

    // True for a short while after the window closed because of a click outside it: the same
    // click may also reach the tray icon, which must then not reopen it.
    bool justClosed() const;

    // Where a window that would like to be size goes: below anchor (above it when it fits only
    // there, or when there is more room above), its right edge under the anchor's right edge;
    // with no anchor, just below-right of the pointer. It stays inside available and never
    // covers the anchor, so it may come out shorter than asked.
    static QRect place(QSize size, const QRect& anchor, QPoint pointer, const QRect& available);

    // True while the page is taller than the window and scrolls.
    bool scrolls() const;

signals:
    void opened();
    void closed();
    // A right click on the tray icon it was opened from: the window closed, and the icon's menu
    // should open at global. The window's grab kept that click from the icon.
    void menuRequested(QPoint global);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sizes the page to its preferred height and the window to what the screen allows.
    void fit();
    Qt::WindowFlags popupFlags() const;
    void reposition();
    bool usesPopupGrab() const;

    QScrollArea* m_scroll;
    QPointer<QWidget> m_content;
    QSize m_preferred;
    QRect m_anchor;
    QPoint m_pointer;
    bool m_translucent = false;
    bool m_windowed = false;
    bool m_placed = false;
    QElapsedTimer m_closedAt;
    bool m_dismissing = false;
    // The Escape being delivered was meant for a list opened from the page.
    bool m_escapeForChild = false;
    QPointer<QShortcut> m_toggle;
};
