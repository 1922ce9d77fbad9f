#pragma once

#include <QLoggingCategory>

// Pobi's diagnostics, one category per subsystem. They are declared here, in the core, because
// every layer may include the core: the categories of one subsystem stay one set of names
// whichever layer the code that logs sits in. Debug messages are off unless turned on, e.g.
// QT_LOGGING_RULES="pobi.*.debug=true"; warnings are always on.
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcAudio)
Q_DECLARE_LOGGING_CATEGORY(lcColorScheme)
Q_DECLARE_LOGGING_CATEGORY(lcHotkey)
Q_DECLARE_LOGGING_CATEGORY(lcInstance)
Q_DECLARE_LOGGING_CATEGORY(lcNotify)
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
Q_DECLARE_LOGGING_CATEGORY(lcSpeech)
Q_DECLARE_LOGGING_CATEGORY(lcTray)
