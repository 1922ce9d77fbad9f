#pragma once

#include "FakeAudioPlayer.h"
#include "FakeChime.h"
#include "FakeClock.h"
#include "FakeSpeech.h"
#include "TestDirs.h"
#include "core/director/CommandInterpreter.h"
#include "core/metronome/Metronome.h"
#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "core/timer/TimerEngine.h"

// The core of a running Pobi, all offline: a private settings file, a fake clock, speech and an end
// chime that only record, a metronome on a player whose timeline the test renders itself, and the
// timer and the interpreter of typed lines on top of them.
struct CoreDesk {
    CoreDesk() = default;
    explicit CoreDesk(const QDateTime& start) : clock(start) {}

    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker{speech, clock};
    FakeAudioPlayer player;
    Metronome metronome{settings.store(), player, clock};
    FakeChime chime;
    TimerEngine engine{settings, speaker, clock, &chime};
    CommandInterpreter interpreter{engine, metronome, settings, clock};
};
