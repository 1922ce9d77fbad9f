#include "ui/pages/SettingsView.h"

#include "FakeLoginItem.h"
#include "PageFixture.h"
#include "core/text/Tone.h"
#include "ui/controls/CheckRow.h"
#include "ui/controls/IconButton.h"
#include "ui/controls/SwitchRow.h"
#include "ui/widgets/FieldBox.h"
#include "ui/widgets/Keycap.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr auto choose = &PageFixture::choose;

struct SettingsPage : PageFixture {
    SettingsView view{settings, speaker, [] {}};
    SettingsPage() {
        view.resize(340, view.sizeHint().height());
        view.show();
    }
};

} // namespace

// The page writes each setting as it changes and follows changes made elsewhere; it speaks only
// to preview.
TEST(SettingsView, ControlsWriteSettingsAndFollowThemAndOnlyPreviewsSpeak) {
    SettingsPage page;
    // A click anywhere on a switch's row flips it; one row stands for the page's table of them.
    SwitchRow* row = page.view.notifyRow();
    const bool before = page.settings.notify();
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, row->height() / 2));
    EXPECT_EQ(page.settings.notify(), !before);
    choose(page.view.everyPicker(), QStringLiteral("10m"));
    EXPECT_EQ(page.settings.every(), 10);
    page.settings.setCountdown(5);
    EXPECT_EQ(page.view.countdownPicker()->value(), 5);

    // Nothing was said until now: the end preview counts down from the count set, and says the
    // end line typed.
    page.view.endPreviewButton()->click();
    choose(page.view.countdownPicker(), QStringLiteral("Off"));
    QTest::keyClicks(page.view.endMessageField()->edit(), QStringLiteral("Pasta is ready"));
    page.view.endPreviewButton()->click();
    EXPECT_EQ(page.speech.texts(),
              QStringList({QStringLiteral("5, 4, 3, 2, 1, ") + Tones::end(Tone::Calm, QString()),
                           QStringLiteral("Pasta is ready")}));

    // The end field's placeholder is what the chosen tone says by default.
    choose(page.view.tonePicker(), QStringLiteral("Coach"));
    EXPECT_EQ(page.settings.tone(), Tone::Coach);
    EXPECT_EQ(page.view.endMessageField()->edit()->placeholderText(), Tones::end(Tone::Coach, {}));
    // The speed slider speaks its sample line on release only.
    QSlider* slider = page.view.speedSlider();
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, 10));
    QTest::mouseMove(slider, QPoint(slider->width() - 1, 10));
    EXPECT_EQ(page.speech.texts().size(), 2);
    EXPECT_NEAR(page.settings.rate(), 1.6, 1e-9);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 1, 10));
    EXPECT_EQ(page.speech.texts().mid(2),
              QStringList{Tones::left(Tone::Coach, QStringLiteral("10 minutes"))});
}

TEST(SettingsView, VoiceListComesFromTheSpeakerAndFollowsTheLanguageFlag) {
    PageFixture f;
    const VoiceInfo de{QStringLiteral("v/de"), QStringLiteral("Anna"), QStringLiteral("de-DE")};
    f.speech.setVoices(
        {{QStringLiteral("v/en-us"), QStringLiteral("Ava"), QStringLiteral("en-US")}, de});
    f.settings.setVoiceID(QStringLiteral("v/en-us"));
    SettingsView view(f.settings, f.speaker, [] {});
    QComboBox* voices = view.voicePicker();
    ASSERT_EQ(voices->count(), 2); // the system default and the one English voice
    EXPECT_EQ(voices->currentText(), QStringLiteral("Ava"));
    view.allLanguagesBox()->click();
    ASSERT_EQ(voices->count(), 3);
    EXPECT_EQ(voices->currentIndex(), 1);
    voices->setCurrentIndex(2);
    emit voices->activated(2);
    EXPECT_EQ(f.settings.voiceID(), QStringLiteral("v/de"));

    f.speech.setVoices({de});
    view.show(); // opening the page reads the voices again: the one removed meanwhile is gone
    EXPECT_EQ(voices->count(), 2);
}

// Launch at login and the hotkey are the desktop's: the page shows what it reports.
TEST(SettingsView, LaunchAtLoginAndTheHotkeyShowWhatTheDesktopReports) {
    PageFixture f;
    FakeLoginItem login;
    Settings settings(f.dirs.file(QStringLiteral("login.ini")), &login);
    SettingsView view(settings, f.speaker, [] {});
    view.launchRow()->toggle()->click();
    EXPECT_TRUE(login.enabled() && view.launchRow()->isOn());
    login.failing = true;
    view.launchRow()->toggle()->click();
    EXPECT_TRUE(login.enabled() && view.launchRow()->isOn()); // the failure is not shown as done

    // The keys are shown only while they work; otherwise the help says what to bind instead.
    ScriptedHotkey hotkey;
    view.setHotkeyService(&hotkey);
    const auto keys = [&] { return !view.findChildren<Keycap*>().last()->isHidden(); };
    hotkey.become(HotkeyService::Backend::X11);
    EXPECT_EQ(view.hotkeyHelp(), QStringLiteral("Works in every app."));
    EXPECT_TRUE(keys());
    hotkey.become(HotkeyService::Backend::Unavailable, QStringLiteral("no X11 and no portal"));
    EXPECT_EQ(view.hotkeyHelp(), QStringLiteral("Bind a shortcut to: pobi --toggle"));
    EXPECT_FALSE(keys());
}
