#pragma once

#include <QHash>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Clock;
class CommandInterpreter;
class HotkeyService;
class Metronome;
class PopoverUI;
class PopupWindow;
class QMenu;
class QSystemTrayIcon;
class QWidget;
class Settings;
class Speaker;
class TimerEngine;

// Everything of Pobi outside the popup's pages: the tray icon with its title and menu, the
// popup window, and the snapshot diagnostics.
class StatusController : public QObject {
    Q_OBJECT
public:
    // Builds the popup's root page for the given shared popup state (called for the popup and
    // once more for a snapshot); it brings the engine, speaker, settings, metronome and mascot
    // the page needs.
    using ContentFactory = std::function<QWidget*(PopoverUI& ui)>;
    // The status glyph for the talking flag, as a template image (only alpha counts) of px
    // pixels square.
    using GlyphFactory = std::function<QImage(bool talking, int px)>;

    // withTray false leaves the tray alone (the snapshot mode must not add a second icon next
    // to a running Pobi).
    StatusController(TimerEngine& engine, Speaker& speaker, Settings& settings,
                     Metronome& metronome, Clock& clock, ContentFactory content, GlyphFactory glyph,
                     bool withTray = true, QObject* parent = nullptr);
    ~StatusController() override;

    // Opens the popup on its main page and gives its field the keyboard focus.
    void show();
    // The tray icon's left click: closes an open popup, otherwise opens it.
    void clicked();
    void closePopup();
    bool popupShown() const;

    // False on a desktop without a tray; Pobi is then reached by the hotkey and `pobi --toggle`.
    bool trayAvailable() const;
    // The tooltip names the hotkey only while this service has it registered.
    void setHotkeyService(HotkeyService* service);
    // Whether the popup gets anti-aliased translucent corners (needs a compositor on X11).
    void setTranslucentPopup(bool translucent);

    // Writes popover.png and settings.png of the popup into dir, or runs the metronome self
    // check for the command "tempo-check"; quits the application when done, with status 1 and
    // a line on standard error when a picture cannot be written.
    // Any other command is read as if typed on the Timer page, for the picture only.
    void snapshot(const QString& dir, const std::optional<QString>& command, bool dark,
                  CommandInterpreter& interpreter);

    // What the tray shows, for tests and diagnostics.
    QString title() const { return m_lastTitle; }
    bool titleGrey() const { return m_lastGrey; }
    QString toolTip() const;
    QIcon icon() const { return m_icon; }
    PopoverUI& ui() { return *m_ui; }
    PopupWindow* popup() const { return m_popup; }
    QMenu* menu() const { return m_menu.get(); }

    // The widget drawn as on screen, at one pixel per point whatever the screen's scale, so
    // snapshot files compare across machines.
    static QImage renderImage(QWidget* widget);

    // Rebuilds the menu for the current engine and metronome state (also done at every opening).
    void rebuildMenu();

signals:
    void titleChanged(const QString& title);

private:
    void refresh();
    void setupMenu();
    void setupTray();
    void updateIcon();
    bool savePng(QWidget* host, const QString& dir, const QString& name);

    TimerEngine& m_engine;
    Speaker& m_speaker;
    Settings& m_settings;
    Metronome& m_metronome;
    Clock& m_clock;
    ContentFactory m_content;
    GlyphFactory m_glyphFactory;

    PopoverUI* m_ui = nullptr;
    QPointer<PopupWindow> m_popup;
    QPointer<HotkeyService> m_hotkey;
    QSystemTrayIcon* m_tray = nullptr;
    // A top-level widget of its own (the tray only points at it).
    std::unique_ptr<QMenu> m_menu;

    QString m_lastTitle;
    bool m_lastGrey = false;
    std::optional<bool> m_lastTalking;
    std::optional<double> m_lastRing;
    QHash<int, QImage> m_glyphs; // by size in pixels, for the talking flag last drawn
    QIcon m_icon;
    bool m_refreshQueued = false;
};
