#pragma once

#include "FakeAudioPlayer.h"
#include "FakeClock.h"
#include "FakeSpeech.h"
#include "TestDirs.h"
#include "core/director/CommandInterpreter.h"
#include "core/hotkey/HotkeyService.h"
#include "core/mascot/MascotBrain.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/timer/TimerEngine.h"
#include "ui/controls/SegmentedPicker.h"
#include "ui/tray/PopoverUI.h"

#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

// The objects behind the popup's pages, all offline: a fake clock, speech that only records, a
// private settings file, and a metronome on a player whose timeline the test renders itself; the
// timer and the interpreter of typed lines on top of them.
// A hotkey whose status the test sets.
class ScriptedHotkey final : public HotkeyService {
public:
    void registerHotkey(QKeyCombination) override {}
    void unregisterHotkey() override {}
    void become(Backend backend, const QString& reason = {}) { setStatus(backend, reason); }
};

struct PageFixture {
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker{speech, clock};
    FakeAudioPlayer player;
    Metronome metronome{settings.store(), player, clock};
    TimerEngine engine{settings, speaker, clock};
    CommandInterpreter interpreter{engine, metronome, settings, clock};
    PopoverUI ui;
    MascotBrain mascot{MascotBrain::Mood::Content, false, [] { return 0.5; }};

    // Types line into a text field and presses Return, as the user would.
    static void enter(QLineEdit* edit, const QString& line) {
        edit->clear();
        QTest::keyClicks(edit, line);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    // Clicks the segment with this label, as the user would.
    static void choose(SegmentedPicker* picker, const QString& label) {
        for (int i = 0; i < picker->count(); ++i) {
            if (picker->label(i) == label) {
                QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(i).center());
                return;
            }
        }
        FAIL() << "no segment " << label.toStdString();
    }

    // Moves the clock and the player's timeline on together, 10 ms (441 frames) at a time.
    void run(int ms) {
        for (int t = 0; t < ms; t += 10) {
            player.render(441);
            clock.advance(10);
        }
    }
};
