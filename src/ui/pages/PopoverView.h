#pragma once

#include "core/settings/Settings.h"

#include <QList>
#include <QWidget>

class Clock;
class CommandInterpreter;
class IconButton;
class MascotBrain;
class Metronome;
class PopoverUI;
class SegmentedPicker;
class SettingsView;
class Speaker;
class TempoView;
class TimerEngine;
class TimerView;

// The popup's content, 340 px wide: the Settings page while PopoverUI::showSettings is set,
// otherwise the mode switch (Timer, Stopwatch, Tempo) with the mute and settings buttons above
// the Timer page (timer and stopwatch) or the Tempo page. Its height follows the page shown;
// pageChanged() tells the window holding it to take the new size.
class PopoverView : public QWidget {
    Q_OBJECT
public:
    static constexpr int contentWidth = 340;
    static constexpr int margin = 18;

    PopoverView(TimerEngine& engine, Speaker& speaker, Settings& settings, PopoverUI& ui,
                Metronome& metronome, MascotBrain& mascot, Clock& clock,
                CommandInterpreter& interpreter, QWidget* parent = nullptr);
    ~PopoverView() override;

    // The modes, in the order of the switch's segments.
    static QList<Settings::Mode> modes();

    // The mode switch: leaving a mode stops what runs in it, then the new page takes the focus.
    // Choosing the mode already shown does nothing.
    void chooseMode(Settings::Mode mode);

    SegmentedPicker* modePicker() const { return m_modePicker; }
    IconButton* muteButton() const { return m_mute; }
    IconButton* settingsButton() const { return m_gear; }
    TimerView* timerView() const { return m_timer; }
    TempoView* tempoView() const { return m_tempo; }
    SettingsView* settingsView() const { return m_settingsView; }
    // The page in front: the Settings page, the Tempo page or the Timer page.
    QWidget* currentPage() const;
    // The controls Tab visits on the page in front, in reading order (hidden ones left out).
    QList<QWidget*> tabChain() const;

signals:
    // The page shown changed, and with it the preferred height.
    void pageChanged();

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void showPage();
    void focusPage();
    void refreshMute();

    TimerEngine& m_engine;
    Settings& m_settings;
    PopoverUI& m_ui;
    Metronome& m_metronome;

    QWidget* m_work;
    SegmentedPicker* m_modePicker;
    IconButton* m_mute;
    IconButton* m_gear;
    TimerView* m_timer;
    TempoView* m_tempo;
    SettingsView* m_settingsView;
};
