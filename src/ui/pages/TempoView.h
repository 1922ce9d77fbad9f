#pragma once

#include "core/metronome/TapTempo.h"

#include <QPointer>
#include <QWidget>

class BeatDots;
class Caption;
class ChipButton;
class Clock;
class ClockTimer;
class CommandInterpreter;
class EveryPicker;
class FieldBox;
class MascotBrain;
class MascotView;
class Metronome;
class PillButton;
class PopoverUI;
class QSlider;
class RoundButton;
class SegmentedPicker;
class Settings;
class Shake;
class Speaker;
class TextLabel;

// The popup's metronome page: the tempo in large digits with its name, the bar's beat dots, the
// controls that change tempo, beats and accent, a field for typed tempo phrases ("120", "3/4 90",
// "allegro") and the start/stop button. Tapping the mascot or the Tap chip in time sets the tempo.
class TempoView : public QWidget {
    Q_OBJECT
public:
    TempoView(Metronome& metronome, Speaker& speaker, Settings& settings, PopoverUI& ui,
              MascotBrain& mascot, Clock& clock, CommandInterpreter& interpreter,
              QWidget* parent = nullptr);
    ~TempoView() override;

    // Return in the field: the interpreter reads the line as a tempo; the field empties, and
    // shakes when the line was none.
    void submit();
    // A tap on the mascot or the Tap chip: the mascot bounces and, from the second tap in time
    // on, the tempo follows the taps.
    void tapBeat();
    // Stop when running, start otherwise.
    void toggle();
    // Adds delta to the tempo, within the tempo limits.
    void step(int delta);

    // "Allegro · 4/4", and while running " · 01:05 of practice"; why there is no sound when the
    // last start failed or the output died.
    QString statusText() const;

    // The parts, for the popup and its tests.
    MascotView* mascotView() const { return m_mascotView; }
    TextLabel* tempoLabel() const { return m_tempo; }
    TextLabel* statusLabel() const { return m_status; }
    BeatDots* dots() const { return m_dots; }
    RoundButton* minusButton() const { return m_minus; }
    RoundButton* plusButton() const { return m_plus; }
    QSlider* slider() const { return m_slider; }
    SegmentedPicker* beatsPicker() const { return m_beats; }
    ChipButton* accentChip() const { return m_accent; }
    ChipButton* tapChip() const { return m_tap; }
    FieldBox* field() const { return m_field; }
    Shake* shake() const { return m_shake; }
    PillButton* startButton() const { return m_start; }
    Caption* caption() const { return m_caption; }
    EveryPicker* everyPicker() const { return m_every; }
    // The page's controls in reading order, for the popup's Tab key.
    QList<QWidget*> tabChain() const;
    // True while the once-a-second refresh of the status line runs (only while shown).
    bool refreshing() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();
    void refreshStatus();

    Metronome& m_metronome;
    Speaker& m_speaker;
    Settings& m_settings;
    PopoverUI& m_ui;
    MascotBrain& m_mascot;
    Clock& m_clock;
    CommandInterpreter& m_interpreter;
    TapTempo m_taps;

    MascotView* m_mascotView;
    TextLabel* m_tempo;
    TextLabel* m_bpmUnit;
    TextLabel* m_status;
    BeatDots* m_dots;
    RoundButton* m_minus;
    QSlider* m_slider;
    RoundButton* m_plus;
    TextLabel* m_beatsLabel;
    SegmentedPicker* m_beats;
    ChipButton* m_accent;
    ChipButton* m_tap;
    FieldBox* m_field;
    Shake* m_shake;
    PillButton* m_start;
    Caption* m_caption;
    EveryPicker* m_every;
    QPointer<ClockTimer> m_ticker;
};
