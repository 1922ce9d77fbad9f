#include "ui/pages/PopoverView.h"

#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/timer/TimerEngine.h"
#include "ui/controls/IconButton.h"
#include "ui/controls/SegmentedPicker.h"
#include "ui/pages/SettingsView.h"
#include "ui/pages/TempoView.h"
#include "ui/pages/TimerView.h"
#include "ui/theme/Palette.h"
#include "ui/tray/PopoverUI.h"
#include "ui/widgets/FieldBox.h"

#include <QApplication>
#include <QBoxLayout>
#include <QLineEdit>

PopoverView::PopoverView(TimerEngine& engine, Speaker& speaker, Settings& settings, PopoverUI& ui,
                         Metronome& metronome, MascotBrain& mascot, Clock& clock,
                         CommandInterpreter& interpreter, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_settings(settings), m_ui(ui), m_metronome(metronome),
      m_work(new QWidget),
      m_modePicker(new SegmentedPicker({{QStringLiteral("Timer"), 0},
                                        {QStringLiteral("Stopwatch"), 1},
                                        {QStringLiteral("Tempo"), 2}},
                                       static_cast<int>(modes().indexOf(settings.mode())),
                                       QStringLiteral("Mode"))),
      m_mute(new IconButton(SymbolIcon::Symbol::Sound, QStringLiteral("Mute"))),
      m_gear(new IconButton(SymbolIcon::Symbol::Settings, QStringLiteral("Settings"))),
      m_timer(new TimerView(engine, speaker, settings, ui, metronome, mascot, clock, interpreter)),
      m_tempo(new TempoView(metronome, speaker, settings, ui, mascot, clock, interpreter)),
      m_settingsView(new SettingsView(settings, speaker, [this] { m_ui.setShowSettings(false); })) {
    setFixedWidth(contentWidth);
    setAutoFillBackground(false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(m_work);
    outer->addWidget(m_settingsView);

    auto* work = new QVBoxLayout(m_work);
    work->setContentsMargins(margin, margin, margin, margin);
    work->setSpacing(16);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(6);
    // The switch keeps its natural width; the spacer takes the rest.
    m_modePicker->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    header->addWidget(m_modePicker, 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(m_mute, 0, Qt::AlignVCenter);
    header->addWidget(m_gear, 0, Qt::AlignVCenter);
    work->addLayout(header);
    work->addWidget(m_timer);
    work->addWidget(m_tempo);

    connect(m_modePicker, &SegmentedPicker::valueChosen, this,
            [this](int index) { chooseMode(modes().value(index, Settings::Mode::Timer)); });
    connect(m_mute, &QAbstractButton::clicked, this,
            [this] { m_settings.setMuted(!m_settings.muted()); });
    connect(m_gear, &QAbstractButton::clicked, this, [this] { m_ui.setShowSettings(true); });
    connect(&settings, &Settings::mutedChanged, this, &PopoverView::refreshMute);
    connect(&settings, &Settings::modeChanged, this, [this](Settings::Mode mode) {
        m_modePicker->setValue(static_cast<int>(modes().indexOf(mode)));
        showPage();
    });
    connect(&ui, &PopoverUI::showSettingsChanged, this, &PopoverView::showPage);
    connect(&ui, &PopoverUI::focusTokenChanged, this, &PopoverView::focusPage);

    refreshMute();
    showPage();
}

PopoverView::~PopoverView() = default;

QList<Settings::Mode> PopoverView::modes() {
    return {Settings::Mode::Timer, Settings::Mode::Stopwatch, Settings::Mode::Tempo};
}

void PopoverView::chooseMode(Settings::Mode mode) {
    if (mode == m_settings.mode())
        return;
    if (mode != Settings::Mode::Tempo)
        m_metronome.stop();
    if (m_engine.active())
        m_engine.stop();
    else if (m_engine.state() == TimerEngine::State::Done)
        m_engine.setState(TimerEngine::State::Idle);
    m_settings.setMode(mode);
    m_ui.bumpFocus();
}

QWidget* PopoverView::currentPage() const {
    if (m_ui.showSettings())
        return m_settingsView;
    if (m_settings.mode() == Settings::Mode::Tempo)
        return m_tempo;
    return m_timer;
}

void PopoverView::showPage() {
    QWidget* const page = currentPage();
    const bool settingsPage = page == m_settingsView;
    // Hide before showing, so the page leaving stops its timers before the other starts.
    if (settingsPage) {
        m_work->hide();
    } else {
        (page == m_tempo ? static_cast<QWidget*>(m_timer) : m_tempo)->hide();
        m_settingsView->hide();
    }
    page->show();
    m_work->setVisible(!settingsPage);
    // Whoever focuses the popup (the window as it opens) reaches the page's text field; the
    // Settings page has none worth typing into first, so its Back button.
    if (page == m_tempo)
        setFocusProxy(m_tempo->field()->edit());
    else if (page == m_timer)
        setFocusProxy(m_timer->field()->edit());
    else
        setFocusProxy(m_settingsView->backButton());
    // The keyboard follows the page: typing "120 bpm" on the Timer page, Back, a mode switch.
    focusPage();
    updateGeometry();
    adjustSize();
    emit pageChanged();
}

QList<QWidget*> PopoverView::tabChain() const {
    QList<QWidget*> all;
    if (m_ui.showSettings()) {
        all = m_settingsView->tabChain();
    } else {
        all = {m_modePicker, m_mute, m_gear};
        all +=
            m_settings.mode() == Settings::Mode::Tempo ? m_tempo->tabChain() : m_timer->tabChain();
    }
    QList<QWidget*> chain;
    for (QWidget* w : std::as_const(all))
        if (w && w->isVisibleTo(this) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            chain << w;
    return chain;
}

void PopoverView::focusPage() {
    if (QWidget* target = focusProxy())
        target->setFocus(Qt::OtherFocusReason);
}

bool PopoverView::focusNextPrevChild(bool next) {
    const QList<QWidget*> chain = tabChain();
    if (chain.isEmpty())
        return false;
    QWidget* const current = QApplication::focusWidget();
    qsizetype i = chain.indexOf(current);
    if (i < 0)
        i = next ? -1 : 0;
    const qsizetype n = chain.size();
    chain[((i + (next ? 1 : -1)) % n + n) % n]->setFocus(next ? Qt::TabFocusReason
                                                              : Qt::BacktabFocusReason);
    return true;
}

void PopoverView::refreshMute() {
    const bool muted = m_settings.muted();
    m_mute->setSymbol(muted ? SymbolIcon::Symbol::Muted : SymbolIcon::Symbol::Sound);
    m_mute->setHelp(muted ? QStringLiteral("Unmute") : QStringLiteral("Mute"));
    m_mute->setTint(muted ? std::optional<QColor>(Palette::pobi) : std::nullopt);
}
