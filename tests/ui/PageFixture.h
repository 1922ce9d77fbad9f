#pragma once

#include "FakeClock.h"
#include "FakeSpeech.h"
#include "Settings.h"
#include "Speaker.h"
#include "TestDirs.h"

#include <QPalette>
#include <QString>

// The shared objects a popup page is built from, with fakes for time and speech and a private
// settings file.
struct PageFixture {
    TestDirs dirs;
    Settings settings{dirs.settingsFile()};
    FakeClock clock;
    FakeSpeech speech;
    Speaker speaker{speech, clock};

    QStringList said() const { return speech.texts(); }
};

// A dark desktop palette, as a dark theme would give the application.
inline QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(40, 40, 42));
    p.setColor(QPalette::WindowText, QColor(235, 235, 240));
    p.setColor(QPalette::Base, QColor(28, 28, 30));
    p.setColor(QPalette::AlternateBase, QColor(50, 50, 52));
    p.setColor(QPalette::Text, QColor(235, 235, 240));
    p.setColor(QPalette::Button, QColor(58, 58, 60));
    p.setColor(QPalette::ButtonText, QColor(235, 235, 240));
    p.setColor(QPalette::PlaceholderText, QColor(140, 140, 146));
    return p;
}

// Where page snapshots go: $POBI_SNAPSHOT_DIR when set, else the test's temporary folder.
inline QString snapshotPath(const TestDirs& dirs, const QString& name) {
    const QString dir = qEnvironmentVariable("POBI_SNAPSHOT_DIR");
    return dir.isEmpty() ? dirs.file(name) : dir + u'/' + name;
}
