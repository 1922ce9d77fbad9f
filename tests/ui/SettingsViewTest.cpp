#include "SettingsView.h"

#include "CheckRow.h"
#include "EveryPicker.h"
#include "FakeLoginItem.h"
#include "FieldBox.h"
#include "IconButton.h"
#include "PageFixture.h"
#include "SegmentedPicker.h"
#include "SwitchRow.h"
#include "Tone.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void choose(SegmentedPicker* picker, const QString& label) {
    for (int i = 0; i < picker->count(); ++i) {
        if (picker->label(i) == label) {
            QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(i).center());
            return;
        }
    }
    FAIL() << "no segment " << label.toStdString();
}

struct SettingsPage : PageFixture {
    int backs = 0;
    SettingsView view{settings, speaker, [this] { ++backs; }};
    SettingsPage() {
        view.resize(340, view.sizeHint().height());
        view.show();
    }
};

} // namespace

TEST(SettingsView, EndPreviewCountsDownFromTheSetNumber) {
    SettingsPage page;
    page.settings.setCountdown(5);
    page.view.endPreviewButton()->click();
    page.settings.setCountdown(0);
    page.settings.setEndMessage(QStringLiteral("Pasta is ready"));
    page.view.endPreviewButton()->click();
    const QString end = Tones::end(Tone::Calm, QString());
    EXPECT_EQ(page.said(), QStringList({QStringLiteral("5, 4, 3, 2, 1, ") + end,
                                        QStringLiteral("Pasta is ready")}));
}

TEST(SettingsView, CountdownOfOneHasItsOwnPrefix) {
    SettingsPage page;
    page.settings.setCountdown(1);
    EXPECT_EQ(SettingsView::endPreview(page.settings),
              QStringLiteral("1, ") + Tones::end(Tone::Calm, QString()));
}

TEST(SettingsView, IntervalIsSilentHereButLiveElsewhere) {
    SettingsPage page;
    choose(page.view.everyPicker(), QStringLiteral("10m"));
    EXPECT_EQ(page.settings.every(), 10);
    EXPECT_TRUE(page.said().isEmpty());

    EveryPicker live(page.settings, page.speaker, true, QStringLiteral("Speak every"));
    live.resize(300, 50);
    live.show();
    const struct {
        const char* label;
        int minutes;
        const char* heard;
    } cases[] = {{"1m", 1, "Okay. Every minute."},
                 {"5m", 5, "Okay. Every 5 minutes."},
                 {"1h", 60, "Okay. Every hour."},
                 {"Off", 0, "Okay. Quiet for now."}};
    for (const auto& c : cases) {
        choose(live.picker(), QString::fromLatin1(c.label));
        EXPECT_EQ(page.settings.every(), c.minutes);
        EXPECT_EQ(page.said().last(), QString::fromLatin1(c.heard));
    }
    // The settings page's own picker followed every change.
    EXPECT_EQ(page.view.everyPicker()->value(), 0);

    live.setLive(false);
    page.speech.clear();
    choose(live.picker(), QStringLiteral("15m"));
    EXPECT_EQ(page.settings.every(), 15);
    EXPECT_TRUE(page.said().isEmpty());
}

TEST(SettingsView, RowsWriteSettingsAndFollowThem) {
    SettingsPage page;
    struct Row {
        SwitchRow* row;
        bool (Settings::*get)() const;
        void (Settings::*set)(bool);
    };
    const Row rows[] = {
        {page.view.onStartRow(), &Settings::onStart, &Settings::setOnStart},
        {page.view.halfwayRow(), &Settings::halfway, &Settings::setHalfway},
        {page.view.lastMinuteRow(), &Settings::lastMinute, &Settings::setLastMinute},
        {page.view.onEndRow(), &Settings::onEnd, &Settings::setOnEnd},
        {page.view.chimeRow(), &Settings::chime, &Settings::setChime},
        {page.view.lapsRow(), &Settings::laps, &Settings::setLaps},
    };
    for (const Row& r : rows) {
        const bool before = (page.settings.*r.get)();
        EXPECT_EQ(r.row->isOn(), before) << r.row->title().toStdString();
        r.row->toggle()->click();
        EXPECT_EQ((page.settings.*r.get)(), !before) << r.row->title().toStdString();
        (page.settings.*r.set)(before);
        EXPECT_EQ(r.row->isOn(), before) << r.row->title().toStdString();
    }

    choose(page.view.tonePicker(), QStringLiteral("Coach"));
    EXPECT_EQ(page.settings.tone(), Tone::Coach);
    // The end field's placeholder is what the chosen tone says by default.
    EXPECT_EQ(page.view.endMessageField()->edit()->placeholderText(), Tones::end(Tone::Coach, {}));
    choose(page.view.countdownPicker(), QStringLiteral("From 10"));
    EXPECT_EQ(page.settings.countdown(), 10);
    page.settings.setCountdown(3);
    EXPECT_EQ(page.view.countdownPicker()->value(), 3);

    QTest::keyClicks(page.view.endMessageField()->edit(), QStringLiteral("Done!"));
    EXPECT_EQ(page.settings.endMessage(), QStringLiteral("Done!"));
    page.settings.setEndMessage(QStringLiteral("Over"));
    EXPECT_EQ(page.view.endMessageField()->text(), QStringLiteral("Over"));
    EXPECT_TRUE(page.said().isEmpty()); // none of these speak
}

TEST(SettingsView, SpeedSpeaksOnReleaseOnly) {
    SettingsPage page;
    QSlider* slider = page.view.speedSlider();
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, 10));
    QTest::mouseMove(slider, QPoint(slider->width() - 1, 10));
    EXPECT_TRUE(page.said().isEmpty());
    EXPECT_NEAR(page.settings.rate(), 1.6, 1e-9);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 1, 10));
    EXPECT_EQ(page.said(), QStringList{Tones::left(Tone::Calm, QStringLiteral("10 minutes"))});
    ASSERT_EQ(page.speech.spoken().size(), 1);
    EXPECT_GT(page.speech.spoken().last().rate, 1.5);

    // A stored rate outside the slider's range stays as stored until the user moves the slider.
    page.settings.setRate(3.0);
    EXPECT_EQ(slider->value(), slider->maximum());
    EXPECT_DOUBLE_EQ(page.settings.rate(), 3.0);
}

TEST(SettingsView, VoiceListComesFromTheSpeakerAndFollowsTheLanguageFlag) {
    PageFixture f;
    f.speech.setVoices(
        {{QStringLiteral("v/en-us"), QStringLiteral("Ava"), QStringLiteral("en-US"), 1},
         {QStringLiteral("v/de"), QStringLiteral("Anna"), QStringLiteral("de-DE"), 1}});
    f.settings.setVoiceID(QStringLiteral("v/en-us"));
    SettingsView view(f.settings, f.speaker, [] {});
    EXPECT_GE(f.speech.voiceRequests(), 1);
    QComboBox* voices = view.voicePicker();
    ASSERT_EQ(voices->count(), 2);
    EXPECT_EQ(voices->itemText(0), QStringLiteral("System default"));
    EXPECT_EQ(voices->currentText(), QStringLiteral("Ava"));

    view.allLanguagesBox()->click();
    EXPECT_TRUE(f.settings.allLanguages());
    ASSERT_EQ(voices->count(), 3);
    EXPECT_TRUE(voices->itemText(1).startsWith(QStringLiteral("Ava · ")));
    EXPECT_EQ(voices->currentIndex(), 1);

    voices->setCurrentIndex(2);
    emit voices->activated(2);
    EXPECT_EQ(f.settings.voiceID(), QStringLiteral("v/de"));
    voices->setCurrentIndex(0);
    emit voices->activated(0);
    EXPECT_EQ(f.settings.voiceID(), QString());

    // A voice that is gone matches nothing.
    f.settings.setVoiceID(QStringLiteral("v/removed"));
    EXPECT_EQ(voices->currentIndex(), -1);

    view.voicePreview()->click();
    EXPECT_EQ(f.said(), QStringList{Tones::hello(Tone::Calm)});
}

TEST(SettingsView, LaunchAtLoginShowsWhatTheDesktopReports) {
    TestDirs dirs;
    FakeLoginItem login;
    Settings settings(dirs.settingsFile(), &login);
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker(speech, clock);
    SettingsView view(settings, speaker, [] {});
    EXPECT_FALSE(view.launchRow()->isOn());
    view.launchRow()->toggle()->click();
    EXPECT_TRUE(login.enabled());
    EXPECT_TRUE(view.launchRow()->isOn());
    login.failing = true;
    view.launchRow()->toggle()->click();
    EXPECT_TRUE(login.enabled());
    EXPECT_TRUE(view.launchRow()->isOn()); // the failed change is not shown as done
}

TEST(SettingsView, BackAndQuitCallTheirActions) {
    SettingsPage page;
    int quits = 0;
    page.view.setQuit([&] { ++quits; });
    page.view.backButton()->click();
    static_cast<QAbstractButton*>(page.view.quitButton())->click();
    EXPECT_EQ(page.backs, 1);
    EXPECT_EQ(quits, 1);
}

TEST(SettingsView, EveryControlHasAnAccessibleName) {
    SettingsPage page;
    for (QWidget* w : page.view.findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&page.view))
            continue;
        if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget()))
            continue; // the combo box's own editor
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
    }
}

TEST(SettingsView, SnapshotsInLightAndDark) {
    SettingsPage page;
    page.view.setHotkeyHelp(QStringLiteral("Bind a shortcut to: pobi --toggle"));
    for (const bool dark : {false, true}) {
        if (dark)
            page.view.setPalette(darkPalette());
        const QImage img = page.view.grab().toImage();
        ASSERT_FALSE(img.isNull());
        EXPECT_TRUE(img.save(snapshotPath(page.dirs, dark ? QStringLiteral("settings-dark.png")
                                                          : QStringLiteral("settings-light.png"))));
        // The page paints its own background in the palette's window colour.
        const QColor corner = img.pixelColor(2, 2);
        EXPECT_EQ(corner.lightness() < 128, dark);
    }
}

namespace {
class ScriptedHotkey final : public HotkeyService {
public:
    void registerHotkey(quint32, quint32) override {}
    void unregisterHotkey() override {}
    void become(Backend backend, const QString& reason = {}) { setStatus(backend, reason); }
};
} // namespace

TEST(SettingsView, HotkeyHelpFollowsTheBackend) {
    SettingsPage page;
    ScriptedHotkey hotkey;
    page.view.setHotkeyService(&hotkey);
    EXPECT_EQ(page.view.hotkeyHelp(), QStringLiteral("Bind a shortcut to: pobi --toggle"));
    hotkey.become(HotkeyService::Backend::X11);
    EXPECT_EQ(page.view.hotkeyHelp(), QStringLiteral("Works in every app."));
    hotkey.become(HotkeyService::Backend::Portal);
    EXPECT_TRUE(page.view.hotkeyHelp().contains(QStringLiteral("shortcut settings")));
    hotkey.become(HotkeyService::Backend::Unavailable, QStringLiteral("no X11 and no portal"));
    EXPECT_EQ(page.view.hotkeyHelp(), QStringLiteral("Bind a shortcut to: pobi --toggle"));
}
