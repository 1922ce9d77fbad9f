#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class Caption;
class ChipButton;
class Clock;
class CommandInterpreter;
class EveryPicker;
class FieldBox;
class MascotBrain;
class MascotButton;
class Metronome;
class PillButton;
class PopoverUI;
class QGridLayout;
class QHBoxLayout;
class QVBoxLayout;
class Settings;
class Shake;
class Speaker;
class TextLabel;
class TimerEngine;

// The popup page for countdown timers and the stopwatch. Its centre is one text field whose
// lines the interpreter reads (a verb, a tempo, a timer); the page shows what came of them.
// Around it: the mascot, the big clock, a status line, a preview of what Return would do, a hint,
// and the buttons, laps and recent entries that fit the engine's state.
class TimerView : public QWidget {
    Q_OBJECT
public:
    TimerView(TimerEngine& engine, Speaker& speaker, Settings& settings, PopoverUI& ui,
              Metronome& metronome, MascotBrain& mascot, Clock& clock,
              CommandInterpreter& interpreter, QWidget* parent = nullptr);
    ~TimerView() override;

    // Return in the field.
    void submit();
    // Does what line says (a recent entry, the stopwatch button, Return); a rejected line shakes
    // the field and stays in it, a started timer closes the popup a moment later.
    void run(const QString& line);

    // What Return would do with the current text ("25:00", "Stopwatch", "♩ 120"), if anything.
    std::optional<QString> preview() const;
    // The caption's text for quiet moments.
    QString hint() const;
    // The status line under the clock.
    QString subtitle() const;

    QString text() const;
    void setText(const QString& text);

    // What "quit" and the application's end mean here; QCoreApplication::quit() unless replaced.
    void setQuit(std::function<void()> quit) { m_quit = std::move(quit); }
    // Replaces the drawing inside the mascot button (the animated mascot by default).
    void setMascotView(QWidget* view);

    // The parts of the page, for tests and for the popup's keyboard order.
    FieldBox* field() const { return m_field; }
    Shake* shake() const { return m_shake; }
    MascotButton* mascotButton() const { return m_mascotButton; }
    TextLabel* clockLabel() const { return m_clockLabel; }
    TextLabel* subtitleLabel() const { return m_subtitle; }
    TextLabel* previewLabel() const { return m_preview; }
    Caption* caption() const { return m_caption; }
    PillButton* lapButton() const { return m_lapButton; }
    PillButton* pauseButton() const { return m_pauseButton; }
    PillButton* stopButton() const { return m_stopButton; }
    PillButton* stopwatchButton() const { return m_stopwatchButton; }
    QList<ChipButton*> recentChips() const { return m_chips; }
    // Newest first: "Lap 3", the split and the total, tab-separated.
    QStringList lapRows() const;
    // The lap list's cell at a row (newest first) and column (number, split, total).
    TextLabel* lapCell(int row, int column) const { return m_lapCells.value(row * 3 + column); }
    EveryPicker* everyPicker() const { return m_every; }
    // The page's controls in reading order, for the popup's Tab key.
    QList<QWidget*> tabChain() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void refresh();
    void refreshPreview();
    void rebuildChips();
    void placeChips();
    void rebuildLaps();
    void togglePause();

    TimerEngine& m_engine;
    Speaker& m_speaker;
    Settings& m_settings;
    PopoverUI& m_ui;
    Metronome& m_metronome;
    MascotBrain& m_mascot;
    Clock& m_clock;
    CommandInterpreter& m_interpreter;
    std::function<void()> m_quit;

    MascotButton* m_mascotButton = nullptr;
    TextLabel* m_clockLabel = nullptr;
    TextLabel* m_subtitle = nullptr;
    FieldBox* m_field = nullptr;
    Shake* m_shake = nullptr;
    TextLabel* m_preview = nullptr;
    Caption* m_caption = nullptr;
    QWidget* m_buttons = nullptr;
    PillButton* m_lapButton = nullptr;
    PillButton* m_pauseButton = nullptr;
    PillButton* m_stopButton = nullptr;
    QWidget* m_lapList = nullptr;
    QGridLayout* m_lapLayout = nullptr;
    QList<TextLabel*> m_lapCells;
    PillButton* m_stopwatchButton = nullptr;
    QWidget* m_recents = nullptr;
    QList<ChipButton*> m_chips;
    QStringList m_chipTexts;
    EveryPicker* m_every = nullptr;
};
