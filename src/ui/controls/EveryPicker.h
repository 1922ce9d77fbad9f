#pragma once

#include "ui/controls/SegmentedPicker.h"

#include <QWidget>

class Settings;
class Speaker;
class TextLabel;

// How often Pobi speaks while something runs: a small label over the interval choices, bound to
// Settings::every both ways. While live, a choice is confirmed aloud ("Okay. Every 5 minutes.").
class EveryPicker : public QWidget {
    Q_OBJECT
public:
    EveryPicker(Settings& settings, Speaker& speaker, bool live, const QString& label,
                QWidget* parent = nullptr);

    // "Off", "1m", "5m", "10m", "15m", "30m", "1h" with their minutes.
    static QList<SegmentedPicker::Item> intervalChoices();
    // The spoken confirmation of choosing v minutes.
    static QString confirmation(int minutes);

    bool live() const { return m_live; }
    void setLive(bool live) { m_live = live; }
    SegmentedPicker* picker() const { return m_picker; }

private:
    void choose(int minutes);

    Settings& m_settings;
    Speaker& m_speaker;
    bool m_live;
    TextLabel* m_label;
    SegmentedPicker* m_picker;
};
