#pragma once

#include "CoreDesk.h"
#include "core/hotkey/HotkeyService.h"
#include "core/mascot/MascotBrain.h"
#include "ui/controls/SegmentedPicker.h"
#include "ui/tray/PopoverUI.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// A hotkey whose status the test sets.
class ScriptedHotkey final : public HotkeyService {
public:
    void registerHotkey(QKeyCombination) override {}
    void unregisterHotkey() override {}
    void become(Backend backend, const QString& reason = {}) { setStatus(backend, reason); }
};

// The objects behind the popup's pages: the offline core, the popup's state and the mascot.
struct PageFixture : CoreDesk {
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
        int i = 0;
        while (i < picker->count() && picker->label(i) != label)
            ++i;
        ASSERT_LT(i, picker->count()) << "no segment " << label.toStdString();
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->segmentRect(i).center());
    }

    // Moves the clock and the player's timeline on together, 10 ms (441 frames) at a time.
    void run(int ms) {
        for (int t = 0; t < ms; t += 10) {
            player.render(441);
            clock.advance(10);
        }
    }
};
