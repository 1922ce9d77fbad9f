#include "ui/pages/SettingsView.h"

#include "core/log/Log.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/text/Tone.h"
#include "core/timer/Plan.h"
#include "ui/controls/CheckRow.h"
#include "ui/controls/EveryPicker.h"
#include "ui/controls/IconButton.h"
#include "ui/controls/SegmentedPicker.h"
#include "ui/controls/Slider.h"
#include "ui/controls/SwitchRow.h"
#include "ui/theme/Palette.h"
#include "ui/theme/Theme.h"
#include "ui/widgets/FieldBox.h"
#include "ui/widgets/Keycap.h"
#include "ui/widgets/SettingsGroup.h"
#include "ui/widgets/TextLabel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

// The speed slider works in hundredths of the rate factor.
constexpr int rateMin = 60;
constexpr int rateMax = 160;

int sliderValue(double rate) {
    return std::clamp(static_cast<int>(std::lround(rate * 100.0)), rateMin, rateMax);
}

QList<SegmentedPicker::Item> toneChoices() {
    QList<SegmentedPicker::Item> items;
    for (Tone t : {Tone::Calm, Tone::Cheery, Tone::Coach})
        items.append({Tones::displayName(t), static_cast<int>(t)});
    return items;
}

QList<SegmentedPicker::Item> countdownChoices() {
    return {{QStringLiteral("Off"), 0},
            {QStringLiteral("From 3"), 3},
            {QStringLiteral("From 5"), 5},
            {QStringLiteral("From 10"), 10}};
}

QHBoxLayout* row(int spacing = 8) {
    auto* r = new QHBoxLayout;
    r->setContentsMargins(0, 0, 0, 0);
    r->setSpacing(spacing);
    return r;
}

// A borderless button in the accent colour, like a link.
class LinkButton final : public QPushButton {
public:
    explicit LinkButton(const QString& text) : QPushButton(text) {
        setFlat(true);
        setCursor(Qt::PointingHandCursor);
        setFont(Theme::font(13));
        setAccessibleName(text);
        QPalette pal = palette();
        pal.setColor(QPalette::ButtonText, Palette::pobi);
        setPalette(pal);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setFont(font());
        p.setPen(isDown() ? Palette::pobi.darker(120) : Palette::pobi);
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
        if (hasFocus()) {
            p.setPen(QPen(Theme::faded(Palette::pobi, 0.6), 1));
            p.drawLine(0, height() - 2, fontMetrics().horizontalAdvance(text()), height() - 2);
        }
    }
    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(text()) + 2, fontMetrics().height() + 4};
    }
};

} // namespace

SettingsView::SettingsView(Settings& settings, Speaker& speaker, std::function<void()> back,
                           QWidget* parent)
    : QWidget(parent), m_settings(settings), m_speaker(speaker), m_backFn(std::move(back)),
      m_quit([] { QCoreApplication::quit(); }) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    QPalette pal = palette();
    pal.setColor(QPalette::Highlight, Palette::pobi);
    setPalette(pal);
    build();
    bind();
    syncFromSettings();
    if (!m_speaker.voicesLoaded())
        m_speaker.loadVoices(); // voicesChanged fills the list when they are in
    reloadVoices();
}

SettingsView::~SettingsView() = default;

void SettingsView::build() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(18, 18, 18, 18);
    page->setSpacing(12);

    // Header.
    auto* header = row(6);
    m_back = new IconButton(SymbolIcon::Symbol::Back, QStringLiteral("Back"));
    header->addWidget(m_back);
    header->addWidget(new TextLabel(QStringLiteral("Settings"), 15, QFont::DemiBold), 1);
    page->addLayout(header);

    // Voice.
    auto* voice = new SettingsGroup(QStringLiteral("Voice"));
    auto* voiceRow = row(6);
    m_voice = new QComboBox;
    m_voice->setAccessibleName(QStringLiteral("Voice"));
    m_voice->setFont(Theme::font(13));
    m_voice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_voice->setMinimumContentsLength(12);
    m_voice->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The open list highlights in the accent colour, like the rest of the popup.
    QPalette listPalette = m_voice->view()->palette();
    listPalette.setColor(QPalette::Highlight, Palette::pobi);
    listPalette.setColor(QPalette::HighlightedText, Qt::white);
    m_voice->view()->setPalette(listPalette);
    voiceRow->addWidget(m_voice, 1);
    m_voicePreview = new IconButton(SymbolIcon::Symbol::Play, QStringLiteral("Preview"));
    voiceRow->addWidget(m_voicePreview);
    voice->addLayout(voiceRow);
    m_allLanguages = new CheckRow(QStringLiteral("Show every language"));
    voice->addWidget(m_allLanguages);
    auto* speedRow = row(10);
    speedRow->addWidget(new TextLabel(QStringLiteral("Speed"), 13));
    m_speed = new Slider;
    m_speed->setRange(rateMin, rateMax);
    m_speed->setPageStep(10);
    m_speed->setAccessibleName(QStringLiteral("Speed"));
    speedRow->addWidget(m_speed, 1);
    voice->addLayout(speedRow);
    m_tone = new SegmentedPicker(toneChoices(), static_cast<int>(m_settings.tone()),
                                 QStringLiteral("Personality"));
    voice->addWidget(m_tone);
    page->addWidget(voice);

    // Speak.
    auto* speak = new SettingsGroup(QStringLiteral("Speak"));
    speak->addWidget(new TextLabel(QStringLiteral("Every"), 12));
    m_every = new SegmentedPicker(EveryPicker::intervalChoices(), m_settings.every(),
                                  QStringLiteral("Every"));
    speak->addWidget(m_every);
    m_onStart = new SwitchRow(QStringLiteral("Start, pause & stop"));
    m_halfway = new SwitchRow(QStringLiteral("Halfway"));
    m_lastMinute = new SwitchRow(QStringLiteral("Last minute"));
    m_onEnd = new SwitchRow(QStringLiteral("When it ends"));
    for (SwitchRow* r : {m_onStart, m_halfway, m_lastMinute, m_onEnd})
        speak->addWidget(r);
    speak->addWidget(new TextLabel(QStringLiteral("Final countdown"), 13));
    m_countdown = new SegmentedPicker(countdownChoices(), m_settings.countdown(),
                                      QStringLiteral("Final countdown"));
    speak->addWidget(m_countdown);
    speak->addWidget(new TextLabel(QStringLiteral("What it says at the end"), 13));
    auto* endRow = row(6);
    m_endMessage = new FieldBox(Tones::end(m_settings.tone(), QString()), 13, QFont::Normal, 28);
    m_endMessage->keycap()->hide();
    m_endMessage->edit()->setAccessibleName(QStringLiteral("What it says at the end"));
    endRow->addWidget(m_endMessage, 1);
    m_endPreview = new IconButton(SymbolIcon::Symbol::Play, QStringLiteral("Preview"));
    endRow->addWidget(m_endPreview);
    speak->addLayout(endRow);
    m_chime = new SwitchRow(QStringLiteral("Chime at the end"));
    m_laps = new SwitchRow(QStringLiteral("Speak laps"));
    m_notify = new SwitchRow(QStringLiteral("Notify when a timer ends"));
    for (SwitchRow* r : {m_chime, m_laps, m_notify})
        speak->addWidget(r);
    page->addWidget(speak);

    // General.
    auto* general = new SettingsGroup(QStringLiteral("General"));
    m_launch = new SwitchRow(QStringLiteral("Launch at login"));
    general->addWidget(m_launch);
    auto* hotkeyRow = row(3);
    auto* open = new TextLabel(QStringLiteral("Open Pobi"), 13);
    hotkeyRow->addWidget(open);
    hotkeyRow->addSpacing(5);
    for (const char* key : {"Ctrl", "Alt", "T"}) {
        m_keycaps.append(new Keycap(QString::fromLatin1(key)));
        hotkeyRow->addWidget(m_keycaps.last());
    }
    hotkeyRow->addStretch(1);
    general->addLayout(hotkeyRow);
    m_hotkeyHelp = new TextLabel(QString(), 11.5, QFont::Normal, TextLabel::Role::Secondary);
    m_hotkeyHelp->setAttribute(Qt::WA_TransparentForMouseEvents, false); // for its tooltip
    m_hotkeyHelp->hide();
    general->addWidget(m_hotkeyHelp);
    m_desktopShortcutState =
        new TextLabel(QString(), 11.5, QFont::Normal, TextLabel::Role::Secondary);
    m_desktopShortcutState->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    m_desktopShortcutState->hide();
    general->addWidget(m_desktopShortcutState);
    m_desktopShortcutButton = new LinkButton(QString());
    m_desktopShortcutButton->setFont(Theme::font(11.5));
    m_desktopShortcutButton->hide();
    general->addWidget(m_desktopShortcutButton);
    connect(m_desktopShortcutButton, &QPushButton::clicked, this, [this] {
        if (!m_desktopShortcut)
            return;
        if (m_desktopShortcut->state() == DesktopShortcut::State::Added)
            m_desktopShortcut->remove();
        else
            m_desktopShortcut->add();
        setDesktopShortcut(m_desktopShortcut);
    });
    m_quitButton = new LinkButton(QStringLiteral("Quit Pobi"));
    general->addWidget(m_quitButton);
    page->addWidget(general);
    page->addStretch(1);
}

void SettingsView::bind() {
    Settings& s = m_settings;
    connect(m_back, &QAbstractButton::clicked, this, [this] {
        if (m_backFn)
            m_backFn();
    });

    // Voice.
    connect(m_voice, &QComboBox::activated, this,
            [this](int index) { m_settings.setVoiceID(m_voice->itemData(index).toString()); });
    connect(&s, &Settings::voiceIDChanged, this, &SettingsView::selectVoice);
    connect(&m_speaker, &Speaker::voicesChanged, this, &SettingsView::reloadVoices);
    connect(m_voicePreview, &QAbstractButton::clicked, this,
            [this] { m_speaker.say(Tones::hello(m_settings.tone()), m_settings); });
    connect(m_allLanguages, &QAbstractButton::toggled, this,
            [this](bool on) { m_settings.setAllLanguages(on); });
    connect(&s, &Settings::allLanguagesChanged, this, [this](bool on) {
        const QSignalBlocker block(m_allLanguages);
        m_allLanguages->setChecked(on);
        reloadVoices();
    });
    connect(m_speed, &QSlider::valueChanged, this,
            [this](int v) { m_settings.setRate(v / 100.0); });
    connect(m_speed, &QSlider::sliderReleased, this, [this] {
        m_speaker.say(Tones::left(m_settings.tone(), QStringLiteral("10 minutes")), m_settings);
    });
    connect(&s, &Settings::rateChanged, this, [this](double rate) {
        const QSignalBlocker block(m_speed);
        m_speed->setValue(sliderValue(rate));
    });
    connect(m_tone, &SegmentedPicker::valueChosen, this,
            [this](int v) { m_settings.setTone(static_cast<Tone>(v)); });
    connect(&s, &Settings::toneChanged, this, [this](Tone t) {
        m_tone->setValue(static_cast<int>(t));
        m_endMessage->setPlaceholder(Tones::end(t, QString()));
    });

    // Speak.
    connect(m_every, &SegmentedPicker::valueChosen, &s, &Settings::setEvery);
    connect(&s, &Settings::everyChanged, m_every, &SegmentedPicker::setValue);
    const std::pair<SwitchRow*, void (Settings::*)(bool)> switches[] = {
        {m_onStart, &Settings::setOnStart},       {m_halfway, &Settings::setHalfway},
        {m_lastMinute, &Settings::setLastMinute}, {m_onEnd, &Settings::setOnEnd},
        {m_chime, &Settings::setChime},           {m_laps, &Settings::setLaps},
        {m_notify, &Settings::setNotify},
    };
    for (const auto& [rowWidget, setter] : switches)
        connect(rowWidget, &SwitchRow::toggled, &s, setter);
    connect(&s, &Settings::onStartChanged, m_onStart, &SwitchRow::setOn);
    connect(&s, &Settings::halfwayChanged, m_halfway, &SwitchRow::setOn);
    connect(&s, &Settings::lastMinuteChanged, m_lastMinute, &SwitchRow::setOn);
    connect(&s, &Settings::onEndChanged, m_onEnd, &SwitchRow::setOn);
    connect(&s, &Settings::chimeChanged, m_chime, &SwitchRow::setOn);
    connect(&s, &Settings::lapsChanged, m_laps, &SwitchRow::setOn);
    connect(&s, &Settings::notifyChanged, m_notify, &SwitchRow::setOn);
    connect(m_countdown, &SegmentedPicker::valueChosen, &s, &Settings::setCountdown);
    connect(&s, &Settings::countdownChanged, m_countdown, &SegmentedPicker::setValue);
    connect(m_endMessage, &FieldBox::textEdited, &s, &Settings::setEndMessage);
    connect(&s, &Settings::endMessageChanged, m_endMessage, &FieldBox::setText);
    connect(m_endPreview, &QAbstractButton::clicked, this,
            [this] { m_speaker.say(endPreview(m_settings), m_settings); });

    // General. Launch at login lives in the desktop's autostart, not in the settings file: after
    // writing it, show what the desktop reports.
    connect(m_launch, &SwitchRow::toggled, this, [this](bool on) {
        m_settings.setLaunchAtLogin(on);
        m_launch->setOn(m_settings.launchAtLogin());
    });
    connect(static_cast<QPushButton*>(m_quitButton), &QPushButton::clicked, this, [this] {
        if (m_quit)
            m_quit();
    });
}

QList<QWidget*> SettingsView::tabChain() const {
    return {m_back,
            m_voice,
            m_voicePreview,
            m_allLanguages,
            m_speed,
            m_tone,
            m_every,
            m_onStart->toggle(),
            m_halfway->toggle(),
            m_lastMinute->toggle(),
            m_onEnd->toggle(),
            m_countdown,
            m_endMessage->edit(),
            m_endPreview,
            m_chime->toggle(),
            m_laps->toggle(),
            m_notify->toggle(),
            m_launch->toggle(),
            m_quitButton};
}

void SettingsView::syncFromSettings() {
    const Settings& s = m_settings;
    {
        const QSignalBlocker block(m_allLanguages);
        m_allLanguages->setChecked(s.allLanguages());
    }
    {
        const QSignalBlocker block(m_speed);
        m_speed->setValue(sliderValue(s.rate()));
    }
    m_tone->setValue(static_cast<int>(s.tone()));
    m_every->setValue(s.every());
    m_onStart->setOn(s.onStart());
    m_halfway->setOn(s.halfway());
    m_lastMinute->setOn(s.lastMinute());
    m_onEnd->setOn(s.onEnd());
    m_countdown->setValue(s.countdown());
    m_endMessage->setText(s.endMessage());
    m_endMessage->setPlaceholder(Tones::end(s.tone(), QString()));
    m_chime->setOn(s.chime());
    m_laps->setOn(s.laps());
    m_notify->setOn(s.notify());
    m_launch->setOn(s.launchAtLogin());
}

void SettingsView::showEvent(QShowEvent* event) {
    // The page may have been away while things changed (login item, voices installed): the
    // list known so far shows at once, and the voices are read again off the main thread.
    syncFromSettings();
    reloadVoices();
    m_speaker.loadVoices();
    setDesktopShortcut(m_desktopShortcut);
    QWidget::showEvent(event);
}

void SettingsView::reloadVoices() {
    const bool withLanguage = m_settings.allLanguages();
    const QSignalBlocker block(m_voice);
    m_voice->clear();
    m_voice->addItem(QStringLiteral("System default"), QString());
    for (const VoiceInfo& v : m_speaker.voices(withLanguage))
        m_voice->addItem(Speaker::displayName(v, withLanguage), v.id);
    selectVoice();
}

void SettingsView::selectVoice() {
    const QSignalBlocker block(m_voice);
    // An identifier that is no longer installed matches nothing and selects nothing.
    m_voice->setCurrentIndex(m_voice->findData(m_settings.voiceID()));
}

void SettingsView::setHotkeyHelp(const QString& text) {
    m_hotkeyHelp->setText(text);
    m_hotkeyHelp->setVisible(!text.isEmpty());
}

QString SettingsView::hotkeyHelp() const {
    return m_hotkeyHelp->text();
}

QString SettingsView::hotkeyHelpFor(const HotkeyService::Status& status) {
    switch (status.backend) {
    case HotkeyService::Backend::X11:
        return QStringLiteral("Works in every app.");
    case HotkeyService::Backend::Portal:
        return QStringLiteral("Registered with the desktop; change it in its shortcut settings.");
    case HotkeyService::Backend::Unavailable:
        break;
    }
    return QStringLiteral("Bind a shortcut to: pobi --toggle");
}

void SettingsView::setHotkeyService(HotkeyService* service) {
    if (m_hotkey)
        disconnect(m_hotkey, nullptr, this, nullptr);
    m_hotkey = service;
    if (!service)
        return;
    auto show = [this] {
        if (!m_hotkey)
            return;
        setHotkeyHelp(hotkeyHelpFor(m_hotkey->status()));
        qCDebug(lcTray).noquote() << QStringLiteral("hotkey help \"%1\"").arg(hotkeyHelp());
        m_hotkeyHelp->setToolTip(m_hotkey->reason());
        for (QWidget* keycap : m_keycaps)
            keycap->setVisible(m_hotkey->backend() != HotkeyService::Backend::Unavailable);
    };
    connect(service, &HotkeyService::statusChanged, this, show);
    show();
}

void SettingsView::setDesktopShortcut(DesktopShortcut* shortcut) {
    m_desktopShortcut = shortcut;
    using State = DesktopShortcut::State;
    const State state = shortcut ? shortcut->state() : State::Unsupported;
    QString text, action;
    switch (state) {
    case State::Unsupported:
        break;
    case State::Absent:
        text = QStringLiteral("Not among GNOME's shortcuts yet.");
        action = QStringLiteral("Add Ctrl+Alt+T to GNOME's shortcuts");
        break;
    case State::Added:
        text = QStringLiteral("GNOME runs pobi --toggle on Ctrl+Alt+T.");
        action = QStringLiteral("Remove it from GNOME's shortcuts");
        break;
    case State::Taken:
        text = QStringLiteral("Taken in GNOME by %1.").arg(shortcut->holder());
        break;
    }
    // The whole story, where the page has no room for it.
    m_desktopShortcutState->setToolTip(
        state == State::Taken
            ? QStringLiteral("Ctrl+Alt+T is taken in GNOME's keyboard "
                             "shortcuts: bind pobi --toggle to another key there.")
            : QStringLiteral("GNOME's keyboard shortcuts (Settings, Keyboard)"));
    m_desktopShortcutState->setText(text);
    m_desktopShortcutState->setVisible(!text.isEmpty());
    m_desktopShortcutButton->setText(action);
    m_desktopShortcutButton->setAccessibleName(action);
    m_desktopShortcutButton->setVisible(!action.isEmpty());
}

QString SettingsView::desktopShortcutState() const {
    return m_desktopShortcutState->text();
}

QString SettingsView::endPreview(const Settings& settings) {
    QString prefix;
    const int n = settings.countdown();
    if (n >= 1) {
        QStringList numbers;
        for (int i = n; i >= 1; --i)
            numbers << QString::number(i);
        prefix = numbers.join(QStringLiteral(", ")) + QStringLiteral(", ");
    }
    return prefix + Plan::endText(QString(), settings);
}
