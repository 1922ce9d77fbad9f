#include "ui/pages/TimerView.h"

#include "core/clock/Clock.h"
#include "core/director/CommandInterpreter.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/Trim.h"
#include "core/text/Words.h"
#include "core/timer/TimerEngine.h"
#include "ui/controls/ChipButton.h"
#include "ui/controls/EveryPicker.h"
#include "ui/controls/PillButton.h"
#include "ui/mascot/MascotButton.h"
#include "ui/mascot/MascotView.h"
#include "ui/theme/Theme.h"
#include "ui/tray/PopoverUI.h"
#include "ui/widgets/Caption.h"
#include "ui/widgets/FieldBox.h"
#include "ui/widgets/Shake.h"
#include "ui/widgets/TextLabel.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int closeDelayMs = 900;
constexpr int hintWindowSeconds = 600;

QString trimDots(const QString& s) {
    qsizetype start = 0;
    qsizetype end = s.size();
    while (start < end && s[start] == u'.')
        ++start;
    while (end > start && s[end - 1] == u'.')
        --end;
    return s.mid(start, end - start);
}

} // namespace

TimerView::TimerView(TimerEngine& engine, Speaker& speaker, Settings& settings, PopoverUI& ui,
                     Metronome& metronome, MascotBrain& mascot, Clock& clock,
                     CommandInterpreter& interpreter, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_speaker(speaker), m_settings(settings), m_ui(ui),
      m_metronome(metronome), m_mascot(mascot), m_clock(clock), m_interpreter(interpreter),
      m_quit([] { QCoreApplication::quit(); }) {
    build();

    connect(&m_engine, &TimerEngine::changed, this, &TimerView::refresh);
    connect(&m_settings, &Settings::changed, this, &TimerView::refresh);
    connect(&m_metronome, &Metronome::bpmChanged, this, &TimerView::refreshPreview);
    refresh();
}

TimerView::~TimerView() = default;

void TimerView::build() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(12);

    // Mascot, clock and status line.
    auto* header = new QHBoxLayout;
    header->setSpacing(12);
    m_mascotButton = new MascotButton(64, QStringLiteral("Say the time now"));
    m_mascotButton->setView(new MascotView(&m_mascot, true, false));
    connect(m_mascotButton, &QAbstractButton::clicked, this, [this] {
        m_mascot.hop(0.7);
        m_engine.sayNow();
    });
    header->addWidget(m_mascotButton, 0, Qt::AlignVCenter);
    auto* clockColumn = new QVBoxLayout;
    clockColumn->setSpacing(2);
    clockColumn->addStretch(1);
    m_clockLabel = new TextLabel(QString(), 44, QFont::Bold);
    m_clockLabel->setTabular(true);
    clockColumn->addWidget(m_clockLabel);
    m_subtitle = new TextLabel(QString(), 12.5, QFont::Normal, TextLabel::Role::Secondary);
    clockColumn->addWidget(m_subtitle);
    clockColumn->addStretch(1);
    header->addLayout(clockColumn, 1);
    page->addLayout(header);

    // The field, with the preview beside it.
    m_field = new FieldBox(QString(), 17, QFont::Medium, 42);
    // Named for what it is, not by its placeholder, which changes with the mode.
    m_field->edit()->setAccessibleName(QStringLiteral("Timer or command"));
    // Room for any command and a long label; a pasted page is cut here already.
    m_field->edit()->setMaxLength(500);
    m_preview = new TextLabel(QString(), 12.5, QFont::DemiBold, TextLabel::Role::Accent);
    m_preview->setTabular(true);
    m_preview->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_preview->hide();
    m_field->addTrailing(m_preview);
    m_shake = new Shake(m_field);
    connect(m_field, &FieldBox::submitted, this, &TimerView::submit);
    connect(m_field->edit(), &QLineEdit::textChanged, this, &TimerView::refreshPreview);
    page->addWidget(m_field);

    m_caption = new Caption(m_speaker);
    page->addWidget(m_caption);

    // Buttons while something runs.
    m_buttons = new QWidget;
    auto* buttons = new QHBoxLayout(m_buttons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    m_lapButton = new PillButton(QStringLiteral("Lap"));
    m_pauseButton = new PillButton(QStringLiteral("Pause"));
    m_stopButton = new PillButton(QStringLiteral("Stop"));
    buttons->addWidget(m_lapButton);
    buttons->addWidget(m_pauseButton);
    buttons->addWidget(m_stopButton);
    connect(m_lapButton, &QAbstractButton::clicked, this, [this] { m_engine.lap(); });
    connect(m_pauseButton, &QAbstractButton::clicked, this, &TimerView::togglePause);
    connect(m_stopButton, &QAbstractButton::clicked, this, [this] { m_engine.stop(); });
    page->addWidget(m_buttons);

    m_lapList = new QWidget;
    m_lapLayout = new QGridLayout(m_lapList);
    m_lapLayout->setContentsMargins(0, 0, 0, 0);
    m_lapLayout->setHorizontalSpacing(12);
    m_lapLayout->setVerticalSpacing(3);
    m_lapLayout->setColumnStretch(3, 1);
    page->addWidget(m_lapList);

    m_stopwatchButton = new PillButton(QStringLiteral("Start stopwatch"), false, true);
    connect(m_stopwatchButton, &QAbstractButton::clicked, this, [this] { run(QString()); });
    page->addWidget(m_stopwatchButton);

    // Chips are placed by hand: the row never widens the page.
    m_recents = new QWidget;
    m_recents->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_recents->setFixedHeight(24);
    m_recents->installEventFilter(this);
    page->addWidget(m_recents);

    m_every = new EveryPicker(m_settings, m_speaker, false, QStringLiteral("Speak every"));
    page->addWidget(m_every);
}

QString TimerView::text() const {
    return m_field->text();
}

void TimerView::setText(const QString& text) {
    m_field->setText(text);
}

void TimerView::setMascotView(QWidget* view) {
    m_mascotButton->setView(view);
}

QList<QWidget*> TimerView::tabChain() const {
    QList<QWidget*> chain{m_mascotButton, m_field->edit(), m_lapButton,
                          m_pauseButton,  m_stopButton,    m_stopwatchButton};
    for (ChipButton* chip : m_chips)
        chain << chip;
    chain << m_every->picker();
    return chain;
}

void TimerView::togglePause() {
    if (m_engine.state() == TimerEngine::State::Running)
        m_engine.pause();
    else
        m_engine.resume();
}

void TimerView::submit() {
    run(text());
}

void TimerView::run(const QString& line) {
    using Action = CommandInterpreter::Action;
    const auto outcome = m_interpreter.run(line, CommandInterpreter::Field::Timer);
    switch (outcome.action) {
    case Action::Rejected:
        m_shake->play();
        m_mascot.oops();
        return;
    case Action::TogglePause:
        // Blanks alone pause or resume as an empty line does, and stay where they were typed.
        if (Trim::spacesAndTabs(line).isEmpty())
            return;
        break;
    case Action::ShowSettings:
        m_ui.setShowSettings(true);
        break;
    case Action::Quit:
        if (m_quit)
            m_quit();
        break;
    case Action::StartTimer:
    case Action::StartStopwatch: {
        const QPointer<PopoverUI> ui(&m_ui);
        m_clock.singleShot(closeDelayMs, this, [ui] {
            if (ui)
                ui->close();
        });
        break;
    }
    default:
        break;
    }
    setText(QString());
}

std::optional<QString> TimerView::preview() const {
    return m_interpreter.preview(text());
}

QString TimerView::hint() const {
    const bool stopwatch = m_engine.kind() == Command::Kind::Stopwatch;
    if (m_engine.state() == TimerEngine::State::Running) {
        if (const auto next = m_engine.next(); next && next->line.kind != Line::Kind::End) {
            const double remaining =
                stopwatch ? 0.0 : std::max(0.0, double(m_engine.total()) - m_engine.elapsed());
            const double delta = remaining - double(next->at);
            if (delta < hintWindowSeconds) {
                const QString word = next->line.kind == Line::Kind::Count
                                         ? QStringLiteral("countdown")
                                         : trimDots(next->line.text);
                return QStringLiteral("Next: \u201C") + word + QStringLiteral("\u201D in ") +
                       Words::clock(delta, true);
            }
        }
    }
    if (m_engine.active())
        return stopwatch ? QStringLiteral("Type l for a lap \u00B7 p to pause \u00B7 stop")
                         : QStringLiteral("Type p to pause \u00B7 t for the time \u00B7 stop");
    return QStringLiteral("Or type 120 bpm for Tempo");
}

QString TimerView::subtitle() const {
    const QString label = m_engine.label();
    const QString prefix = label.isEmpty() ? QString() : label + QStringLiteral(" \u00B7 ");
    switch (m_engine.state()) {
    case TimerEngine::State::Idle:
        return m_settings.mode() == Settings::Mode::Stopwatch
                   ? QStringLiteral("Return to start. Type l for laps.")
                   : QStringLiteral("Type a time. Press return.");
    case TimerEngine::State::Paused:
        return prefix + QStringLiteral("Paused");
    case TimerEngine::State::Done:
        return prefix + QStringLiteral("Done");
    case TimerEngine::State::Running:
        break;
    }
    if (m_engine.kind() == Command::Kind::Stopwatch)
        return prefix + QStringLiteral("Stopwatch");
    const double remaining = std::max(0.0, double(m_engine.total()) - m_engine.elapsed());
    // To the nearest minute: the total is whole seconds counted from a start with fractions,
    // so cutting the seconds would show "at 3pm" as 14:59.
    const QTime end = m_clock.now().addMSecs(qRound64(remaining * 1000.0) + 30'000).time();
    const QString at = Words::shortTime(QTime(end.hour(), end.minute()), QLocale());
    return prefix + (prefix.isEmpty() ? QStringLiteral("Ends at ") : QStringLiteral("ends ")) + at;
}

QStringList TimerView::lapRows() const {
    const auto clock = &CommandInterpreter::lapClock;
    QStringList rows;
    const auto laps = m_engine.laps();
    for (auto it = laps.crbegin(); it != laps.crend() && rows.size() < 4; ++it)
        rows << QStringLiteral("Lap %1").arg(it->n) + u'\t' + clock(it->split) + u'\t' +
                    clock(it->total);
    return rows;
}

void TimerView::refreshPreview() {
    const auto shown = preview();
    m_preview->setText(shown.value_or(QString()));
    m_preview->setVisible(shown.has_value());
}

void TimerView::refresh() {
    const bool active = m_engine.active();
    const bool stopwatchMode = m_settings.mode() == Settings::Mode::Stopwatch;

    m_clockLabel->setText(m_engine.display());
    // A long label gives way before the state and the end time after it.
    const QString status = subtitle();
    const QString label = m_engine.label();
    m_subtitle->setText(status, status.startsWith(label) ? status.size() - label.size() : 0);
    m_field->setPlaceholder(stopwatchMode ? QStringLiteral("Type l, p or stop")
                                          : QStringLiteral("Try 25m, 1h30, tea, at 3pm"));
    m_caption->setHint(hint());

    m_buttons->setVisible(active);
    m_lapButton->setVisible(active && m_engine.kind() == Command::Kind::Stopwatch);
    m_pauseButton->setTitle(m_engine.state() == TimerEngine::State::Paused
                                ? QStringLiteral("Resume")
                                : QStringLiteral("Pause"));
    rebuildLaps();
    m_stopwatchButton->setVisible(!active && stopwatchMode);
    rebuildChips();
    m_recents->setVisible(!active && !stopwatchMode && !m_settings.recents().isEmpty());
    m_every->setLive(active);
    refreshPreview();
}

void TimerView::rebuildLaps() {
    // Lap number, split and total in fixed columns, so rows never shift as the digits change.
    const QStringList rows = lapRows();
    while (m_lapCells.size() < rows.size() * 3) {
        const int row = int(m_lapCells.size() / 3);
        for (int column = 0; column < 3; ++column) {
            auto* cell = new TextLabel(QString(), 13, QFont::Medium);
            cell->setTabular(true);
            // "Lap 000" and the widest times set the column widths.
            const QString widest =
                column == 0 ? QStringLiteral("Lap 000") : QStringLiteral("00:00:00.00");
            cell->setFixedWidth(int(std::ceil(Theme::tabularWidth(cell->font(), widest))));
            cell->setAlignment((column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            m_lapLayout->addWidget(cell, row, column);
            m_lapCells << cell;
        }
    }
    for (qsizetype i = 0; i < m_lapCells.size(); ++i) {
        const qsizetype row = i / 3;
        TextLabel* cell = m_lapCells[i];
        if (row < rows.size()) {
            cell->setText(rows[row].section(u'\t', int(i % 3), int(i % 3)));
            cell->setRole(row == 0 ? TextLabel::Role::Primary : TextLabel::Role::Secondary);
        }
        cell->setVisible(row < rows.size());
    }
    m_lapList->setVisible(!rows.isEmpty());
}

void TimerView::rebuildChips() {
    const QStringList recents = m_settings.recents();
    if (recents == m_chipTexts)
        return;
    m_chipTexts = recents;
    // A chip may be the sender of the click that changed the recents: let it finish first.
    for (ChipButton* chip : std::as_const(m_chips)) {
        chip->hide();
        chip->deleteLater();
    }
    m_chips.clear();
    for (const QString& entry : recents) {
        auto* chip = new ChipButton(entry);
        connect(chip, &QAbstractButton::clicked, this, [this, entry] { run(entry); });
        chip->setParent(m_recents);
        m_chips << chip;
    }
    placeChips();
}

void TimerView::placeChips() {
    // In stored order on one row. When they do not fit, the widest give way first, down to a
    // few letters each; only then do the last ones go.
    constexpr int gap = 6;
    constexpr int narrowest = 56;
    const int room = m_recents->width();
    QList<int> widths;
    for (ChipButton* chip : std::as_const(m_chips))
        widths << chip->sizeHint().width();
    qsizetype shown = widths.size();
    int cap = 0;
    for (; shown > 0; --shown) {
        QList<int> sorted = widths.mid(0, shown);
        std::sort(sorted.begin(), sorted.end());
        int left = room - gap * int(shown - 1);
        cap = std::numeric_limits<int>::max();
        for (qsizetype i = 0; i < shown; ++i) {
            const int share = left / int(shown - i);
            if (sorted[i] > share) {
                cap = share;
                break;
            }
            left -= sorted[i];
        }
        if (cap >= narrowest)
            break;
    }
    int x = 0;
    for (qsizetype i = 0; i < m_chips.size(); ++i) {
        ChipButton* chip = m_chips[i];
        const int w = std::min(widths[i], cap);
        chip->setGeometry(x, 0, w, chip->sizeHint().height());
        chip->setVisible(i < shown);
        x += w + gap;
    }
}

bool TimerView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_recents && event->type() == QEvent::Resize)
        placeChips();
    return QWidget::eventFilter(watched, event);
}
