#include "ui/controls/EveryPicker.h"

#include "core/settings/Settings.h"
#include "core/speech/Speaker.h"
#include "ui/widgets/TextLabel.h"

#include <QVBoxLayout>

EveryPicker::EveryPicker(Settings& settings, Speaker& speaker, bool live, const QString& label,
                         QWidget* parent)
    : QWidget(parent), m_settings(settings), m_speaker(speaker), m_live(live),
      m_label(new TextLabel(label, 11.5, QFont::Normal, TextLabel::Role::Secondary)),
      m_picker(new SegmentedPicker(intervalChoices(), settings.every(), label)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(5);
    column->addWidget(m_label);
    column->addWidget(m_picker);
    connect(m_picker, &SegmentedPicker::valueChosen, this, &EveryPicker::choose);
    connect(&settings, &Settings::everyChanged, m_picker, &SegmentedPicker::setValue);
}

QList<SegmentedPicker::Item> EveryPicker::intervalChoices() {
    return {{QStringLiteral("Off"), 0},  {QStringLiteral("1m"), 1},   {QStringLiteral("5m"), 5},
            {QStringLiteral("10m"), 10}, {QStringLiteral("15m"), 15}, {QStringLiteral("30m"), 30},
            {QStringLiteral("1h"), 60}};
}

QString EveryPicker::confirmation(int minutes) {
    if (minutes == 0)
        return QStringLiteral("Okay. Quiet for now.");
    QString phrase;
    if (minutes == 60)
        phrase = QStringLiteral("hour");
    else if (minutes == 1)
        phrase = QStringLiteral("minute");
    else
        phrase = QString::number(minutes) + QStringLiteral(" minutes");
    return QStringLiteral("Okay. Every ") + phrase + QStringLiteral(".");
}

void EveryPicker::choose(int minutes) {
    m_settings.setEvery(minutes);
    if (m_live)
        m_speaker.say(confirmation(minutes), m_settings);
}
