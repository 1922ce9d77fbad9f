#include "ui/pages/TempoView.h"

#include "core/clock/Clock.h"
#include "core/clock/ClockTimer.h"
#include "core/director/CommandInterpreter.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/Metronome.h"
#include "core/metronome/TempoWords.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/Words.h"
#include "ui/controls/BeatDots.h"
#include "ui/controls/ChipButton.h"
#include "ui/controls/EveryPicker.h"
#include "ui/controls/PillButton.h"
#include "ui/controls/RoundButton.h"
#include "ui/controls/SegmentedPicker.h"
#include "ui/controls/Slider.h"
#include "ui/mascot/MascotView.h"
#include "ui/theme/Theme.h"
#include "ui/tray/PopoverUI.h"
#include "ui/widgets/Caption.h"
#include "ui/widgets/FieldBox.h"
#include "ui/widgets/Shake.h"
#include "ui/widgets/TextLabel.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

namespace {

QList<SegmentedPicker::Item> beatsChoices() {
    QList<SegmentedPicker::Item> items;
    for (const int b : TempoWords::beatsChoices)
        items.append({QString::number(b), b});
    return items;
}

} // namespace

TempoView::TempoView(Metronome& metronome, Speaker& speaker, Settings& settings, PopoverUI& ui,
                     MascotBrain& mascot, Clock& clock, CommandInterpreter& interpreter,
                     QWidget* parent)
    : QWidget(parent), m_metronome(metronome), m_speaker(speaker), m_settings(settings), m_ui(ui),
      m_mascot(mascot), m_clock(clock), m_interpreter(interpreter), m_taps(clock),
      m_mascotView(new MascotView(&mascot, true, false)),
      m_tempo(new TextLabel({}, 44, QFont::Bold)),
      m_bpmUnit(
          new TextLabel(QStringLiteral("BPM"), 12, QFont::DemiBold, TextLabel::Role::Secondary)),
      m_status(new TextLabel({}, 12.5, QFont::Normal, TextLabel::Role::Secondary)),
      m_dots(new BeatDots(metronome)),
      m_minus(new RoundButton(SymbolIcon::Symbol::Minus, QStringLiteral("Slower"))),
      m_slider(new Slider),
      m_plus(new RoundButton(SymbolIcon::Symbol::Plus, QStringLiteral("Faster"))),
      m_beatsLabel(new TextLabel(QStringLiteral("Beats"), 11.5)),
      m_beats(new SegmentedPicker(beatsChoices(), metronome.beats(), QStringLiteral("Beats"))),
      m_accent(new ChipButton(QStringLiteral("Accent"), metronome.accent())),
      m_tap(new ChipButton(QStringLiteral("Tap"))),
      m_field(new FieldBox(QStringLiteral("120, 3/4 90, allegro"), 15, QFont::Medium, 38)),
      m_shake(new Shake(m_field)), m_start(new PillButton(QStringLiteral("Start tempo"))),
      m_caption(
          new Caption(speaker, QStringLiteral("Return to start · type a tempo to change it"))),
      m_every(new EveryPicker(settings, speaker, metronome.running(),
                              QStringLiteral("Speak practice time every"))) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    // Header: the mascot to tap, the tempo and its status line.
    m_mascotView->setFixedSize(64, 64);
    m_mascotView->setToolTip(QStringLiteral("Tap the beat"));
    m_mascotView->setAccessibleName(QStringLiteral("Tap the beat"));
    m_mascotView->setCursor(Qt::PointingHandCursor);
    m_mascotView->installEventFilter(this);
    m_tempo->setTabular(true);
    auto* tempoRow = new QHBoxLayout;
    tempoRow->setContentsMargins(0, 0, 0, 0);
    tempoRow->setSpacing(5);
    tempoRow->addWidget(m_tempo, 0, Qt::AlignBottom);
    // Sits on the big number's baseline rather than its box's bottom.
    m_bpmUnit->setContentsMargins(
        0, 0, 0, std::max(0, qRound(m_tempo->belowBaseline() - m_bpmUnit->belowBaseline())));
    m_bpmUnit->setObjectName(QStringLiteral("unit"));
    tempoRow->addWidget(m_bpmUnit, 0, Qt::AlignBottom);
    tempoRow->addStretch(1);
    auto* titles = new QVBoxLayout;
    titles->setContentsMargins(0, 0, 0, 0);
    titles->setSpacing(3);
    titles->addLayout(tempoRow);
    titles->addWidget(m_status);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(12);
    header->addWidget(m_mascotView, 0, Qt::AlignVCenter);
    header->addLayout(titles, 1);
    column->addLayout(header);

    column->addWidget(m_dots);

    // Tempo row.
    m_slider->setRange(TempoWords::minBpm, TempoWords::maxBpm);
    m_slider->setValue(TempoWords::clampBpm(metronome.bpm()));
    m_slider->setAccessibleName(QStringLiteral("BPM"));
    auto* tempoControls = new QHBoxLayout;
    tempoControls->setContentsMargins(0, 0, 0, 0);
    tempoControls->setSpacing(10);
    tempoControls->addWidget(m_minus);
    tempoControls->addWidget(m_slider, 1);
    tempoControls->addWidget(m_plus);
    column->addLayout(tempoControls);

    // Metre row.
    m_beatsLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* metre = new QHBoxLayout;
    metre->setContentsMargins(0, 0, 0, 0);
    metre->setSpacing(8);
    metre->addWidget(m_beatsLabel);
    metre->addWidget(m_beats, 1);
    metre->addWidget(m_accent);
    metre->addWidget(m_tap);
    column->addLayout(metre);

    m_field->edit()->setAccessibleName(QStringLiteral("Tempo"));
    column->addWidget(m_field);
    column->addWidget(m_start);
    column->addWidget(m_caption);
    column->addWidget(m_every);

    m_ticker = clock.createTimer(this);
    m_ticker->setSingleShot(false);
    connect(m_ticker, &ClockTimer::timeout, this, &TempoView::refreshStatus);

    connect(m_minus, &QAbstractButton::clicked, this, [this] { step(-1); });
    connect(m_plus, &QAbstractButton::clicked, this, [this] { step(+1); });
    connect(m_slider, &QSlider::valueChanged, this, [this](int v) { m_metronome.changeBpm(v); });
    connect(m_beats, &SegmentedPicker::valueChosen, &m_metronome, &Metronome::changeBeats);
    connect(m_accent, &QAbstractButton::clicked, this,
            [this] { m_metronome.setAccent(!m_metronome.accent()); });
    connect(m_tap, &QAbstractButton::clicked, this, &TempoView::tapBeat);
    connect(m_field, &FieldBox::submitted, this, &TempoView::submit);
    connect(m_start, &QAbstractButton::clicked, this, &TempoView::toggle);
    connect(&metronome, &Metronome::changed, this, &TempoView::refresh);

    refresh();
}

TempoView::~TempoView() = default;

void TempoView::refresh() {
    m_tempo->setText(QString::number(m_metronome.bpm()));
    refreshStatus();
    {
        const QSignalBlocker block(m_slider);
        m_slider->setValue(TempoWords::clampBpm(m_metronome.bpm()));
    }
    m_beats->setValue(m_metronome.beats());
    m_accent->setAccent(m_metronome.accent());
    const bool running = m_metronome.running();
    m_start->setTitle(running ? QStringLiteral("Stop") : QStringLiteral("Start tempo"));
    m_start->setPrimary(running);
    m_start->setAccent(running);
    m_every->setLive(running);
}

QString TempoView::statusText() const {
    // A failed start otherwise shows nothing here: the button just stays as it was.
    if (!m_metronome.running() && !m_metronome.error().isEmpty())
        return QStringLiteral("No sound: ") + m_metronome.error();
    QString s = TempoWords::name(m_metronome.bpm()) + QStringLiteral(" · ") +
                QString::number(m_metronome.beats()) + QStringLiteral("/4");
    if (m_metronome.running()) {
        const double practised = m_metronome.secondsRunning();
        s += QStringLiteral(" · ") + Words::clock(std::max(practised, 0.0), false) +
             QStringLiteral(" of practice");
    }
    return s;
}

void TempoView::refreshStatus() {
    // The tempo's name gives way before the signature and the practice time.
    const QString status = statusText();
    const QString name = TempoWords::name(m_metronome.bpm());
    m_status->setText(status, status.startsWith(name) ? status.size() - name.size() : 0);
}

void TempoView::step(int delta) {
    m_metronome.changeBpm(m_metronome.bpm() + delta);
}

void TempoView::toggle() {
    if (m_metronome.running())
        m_metronome.stop();
    else
        m_metronome.start();
}

void TempoView::tapBeat() {
    m_mascot.beat(false);
    if (const auto bpm = m_taps.tap())
        m_metronome.changeBpm(*bpm);
}

void TempoView::submit() {
    const QString line = m_field->text();
    m_field->setText({});
    if (!m_interpreter.run(line, CommandInterpreter::Field::Tempo).accepted()) {
        m_shake->play();
        m_mascot.oops();
    }
}

QList<QWidget*> TempoView::tabChain() const {
    return {m_minus, m_slider,        m_plus,  m_beats,          m_accent,
            m_tap,   m_field->edit(), m_start, m_every->picker()};
}

bool TempoView::refreshing() const {
    return m_ticker && m_ticker->isActive();
}

bool TempoView::eventFilter(QObject* watched, QEvent* event) {
    // Quick taps arrive as double clicks; each one is a tap.
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (watched == m_mascotView && press &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        tapBeat();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TempoView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refreshStatus();
    m_ticker->start(1000);
}

void TempoView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_ticker->stop();
}
