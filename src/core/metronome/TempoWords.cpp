#include "core/metronome/TempoWords.h"

#include "core/text/Trim.h"

#include <QRegularExpression>
#include <algorithm>

namespace TempoWords {

std::optional<Tempo> parse(const QString& text, bool needsKeyword) {
    // Compiled once; both are applied to lower-cased text. With Unicode properties, white space
    // and word boundaries follow Unicode (a no-break space separates); digits are spelt [0-9], so
    // digits of other scripts never count as a number.
    static const QRegularExpression signature(QStringLiteral("\\b([2-9]|1[0-2])\\s*/\\s*(4|8)\\b"),
                                              QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression number(QStringLiteral("\\b[0-9]{2,3}\\b"),
                                           QRegularExpression::UseUnicodePropertiesOption);

    QString s = QLatin1Char(' ') + Trim::horizontal(text.toLower()) + QLatin1Char(' ');
    if (Trim::horizontal(s).isEmpty())
        return std::nullopt;

    bool hasKeyword = false;
    bool anyKeyword = false;
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        const QString keyword = QString::fromLatin1(keywords[i]);
        if (!s.contains(keyword))
            continue;
        s.replace(keyword, QStringLiteral(" "));
        anyKeyword = true;
        if (i < static_cast<std::size_t>(tempoKeywordCount))
            hasKeyword = true;
    }

    Tempo tempo;
    if (const auto m = signature.match(s); m.hasMatch()) {
        const QString matched = m.captured(0);
        tempo.beats = Trim::horizontal(matched.section(QLatin1Char('/'), 0, 0)).toInt();
        s.remove(m.capturedStart(0), m.capturedLength(0));
        hasKeyword = true;
        anyKeyword = true;
    }

    bool tempoWord = false;
    for (const auto& [word, bpm] : named) {
        const QString w = QString::fromLatin1(word);
        if (!s.contains(w))
            continue;
        tempo.bpm = bpm;
        s.replace(w, QStringLiteral(" "));
        hasKeyword = true;
        tempoWord = true;
        break;
    }

    bool numberFound = false;
    if (const auto m = number.match(s); m.hasMatch()) {
        bool ok = false;
        const int value = m.captured(0).toInt(&ok);
        if (ok) {
            tempo.bpm = clampBpm(value);
            s.remove(m.capturedStart(0), m.capturedLength(0));
            numberFound = true;
        }
    }

    if (!numberFound && !tempoWord && !anyKeyword)
        return std::nullopt;
    if (!Trim::horizontal(s).isEmpty())
        return std::nullopt;
    if (needsKeyword && !hasKeyword)
        return std::nullopt;
    return tempo;
}

QString name(int bpm) {
    const double tempo = bpm;
    for (const auto& [ceiling, label] : names) {
        if (static_cast<double>(ceiling) > tempo)
            return QString::fromLatin1(label);
    }
    return QString::fromLatin1(fastestName);
}

QString sigWords(int n) {
    QString word = n >= 0 && n < static_cast<int>(words.size())
                       ? QString::fromLatin1(words[static_cast<std::size_t>(n)])
                       : QString::number(n);
    word[0] = word[0].toUpper();
    return word + QStringLiteral(" four");
}

} // namespace TempoWords
