#include "core/log/Log.h"

// Info and above are on by default: debug messages cost nothing until a rule enables them.
Q_LOGGING_CATEGORY(lcApp, "pobi.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAudio, "pobi.audio", QtInfoMsg)
Q_LOGGING_CATEGORY(lcColorScheme, "pobi.colorscheme", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHotkey, "pobi.hotkey", QtInfoMsg)
Q_LOGGING_CATEGORY(lcInstance, "pobi.instance", QtInfoMsg)
Q_LOGGING_CATEGORY(lcNotify, "pobi.notify", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, "pobi.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSpeech, "pobi.speech", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTray, "pobi.tray", QtInfoMsg)
