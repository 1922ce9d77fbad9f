#pragma once

#include "core/hotkey/DesktopShortcut.h"
#include "core/hotkey/HotkeyService.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class CheckRow;
class FieldBox;
class IconButton;
class QComboBox;
class QPushButton;
class QSlider;
class SegmentedPicker;
class Settings;
class Speaker;
class SwitchRow;
class TextLabel;

// The popup page that edits every preference. Each control writes straight into Settings and
// follows it when it changes elsewhere; a few controls speak a sample so the effect is heard.
class SettingsView : public QWidget {
    Q_OBJECT
public:
    SettingsView(Settings& settings, Speaker& speaker, std::function<void()> back,
                 QWidget* parent = nullptr);
    ~SettingsView() override;

    // How the global shortcut works on this desktop, shown under its key caps.
    void setHotkeyHelp(const QString& text);
    QString hotkeyHelp() const;
    // Follows the hotkey's status from now on: the keys are shown only while they work, and
    // why they do not as a tooltip.
    void setHotkeyService(HotkeyService* service);
    static QString hotkeyHelpFor(const HotkeyService::Status& status);
    // Offers to add or remove the desktop's own binding of the key (hidden while null or
    // unsupported); the desktop's settings are read again whenever the page shows.
    void setDesktopShortcut(DesktopShortcut* shortcut);
    QPushButton* desktopShortcutButton() const { return m_desktopShortcutButton; }
    QString desktopShortcutState() const;
    // What "Quit Pobi" does; QCoreApplication::quit() unless replaced.
    void setQuit(std::function<void()> quit) { m_quit = std::move(quit); }

    // What the end-message preview says with the current settings.
    static QString endPreview(const Settings& settings);
    // Rebuilds the voice list from the speaker (also done when shown and when the language
    // filter changes).
    void reloadVoices();

    // The controls, for tests and for the popup's keyboard order.
    IconButton* backButton() const { return m_back; }
    QComboBox* voicePicker() const { return m_voice; }
    IconButton* voicePreview() const { return m_voicePreview; }
    CheckRow* allLanguagesBox() const { return m_allLanguages; }
    QSlider* speedSlider() const { return m_speed; }
    SegmentedPicker* tonePicker() const { return m_tone; }
    SegmentedPicker* everyPicker() const { return m_every; }
    SegmentedPicker* countdownPicker() const { return m_countdown; }
    FieldBox* endMessageField() const { return m_endMessage; }
    IconButton* endPreviewButton() const { return m_endPreview; }
    SwitchRow* onStartRow() const { return m_onStart; }
    SwitchRow* halfwayRow() const { return m_halfway; }
    SwitchRow* lastMinuteRow() const { return m_lastMinute; }
    SwitchRow* onEndRow() const { return m_onEnd; }
    SwitchRow* chimeRow() const { return m_chime; }
    SwitchRow* lapsRow() const { return m_laps; }
    SwitchRow* notifyRow() const { return m_notify; }
    SwitchRow* launchRow() const { return m_launch; }
    QWidget* quitButton() const { return m_quitButton; }
    // The page's controls in reading order, for the popup's Tab key.
    QList<QWidget*> tabChain() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void build();
    void bind();
    void syncFromSettings();
    void selectVoice();

    Settings& m_settings;
    Speaker& m_speaker;
    std::function<void()> m_backFn;
    std::function<void()> m_quit;

    IconButton* m_back = nullptr;
    QComboBox* m_voice = nullptr;
    IconButton* m_voicePreview = nullptr;
    CheckRow* m_allLanguages = nullptr;
    QSlider* m_speed = nullptr;
    SegmentedPicker* m_tone = nullptr;
    SegmentedPicker* m_every = nullptr;
    SwitchRow* m_onStart = nullptr;
    SwitchRow* m_halfway = nullptr;
    SwitchRow* m_lastMinute = nullptr;
    SwitchRow* m_onEnd = nullptr;
    SegmentedPicker* m_countdown = nullptr;
    FieldBox* m_endMessage = nullptr;
    IconButton* m_endPreview = nullptr;
    SwitchRow* m_chime = nullptr;
    SwitchRow* m_laps = nullptr;
    SwitchRow* m_notify = nullptr;
    SwitchRow* m_launch = nullptr;
    TextLabel* m_hotkeyHelp = nullptr;
    QList<QWidget*> m_keycaps;
    QWidget* m_quitButton = nullptr;
    QPointer<HotkeyService> m_hotkey;
    DesktopShortcut* m_desktopShortcut = nullptr;
    TextLabel* m_desktopShortcutState = nullptr;
    QPushButton* m_desktopShortcutButton = nullptr;
};
