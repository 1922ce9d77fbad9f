#include "core/text/Tone.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString d = QStringLiteral("25 minutes");

// Each phrase built from values, with the values its sentence must carry. Fixed sentences are
// left out: they have no joins to get wrong.
const std::pair<QString (*)(Tone), QStringList> phrases[] = {
    {[](Tone t) { return Tones::start(t, d, "Tea"); }, {"Tea", d}},
    {[](Tone t) { return Tones::start(t, d, ""); }, {d}},
    {[](Tone t) { return Tones::left(t, "10 minutes"); }, {"10 minutes left"}},
    {[](Tone t) { return Tones::half(t, "12 minutes"); }, {"12 minutes"}},
    {[](Tone t) { return Tones::end(t, ""); }, {}},
    {[](Tone t) { return Tones::end(t, "Plank"); }, {"Plank"}},
    {[](Tone t) { return Tones::elapsed(t, "5 minutes"); }, {"5 minutes"}},
    {[](Tone t) { return Tones::lap(t, 3, "15.3 seconds"); }, {"Lap 3", "15.3 seconds"}},
    {[](Tone t) { return Tones::practice(t, "10 minutes"); }, {"10 minutes"}},
    {[](Tone t) { return Tones::tempo(t, 120, "Four four"); }, {"120", "Four four"}},
};

} // namespace

// Every tone has its own wording of every phrase, carries the values, and joins its clauses
// cleanly: no empty label clause, no doubled separators or spaces, a closing mark at the end.
TEST(Tones, EveryToneSaysEveryPhraseWithItsValues) {
    const QRegularExpression broken(QStringLiteral("^[ .,!]|  |[.,!] ?[.,]|[^.!]$"));
    for (const auto& [say, values] : phrases) {
        QStringList seen;
        for (Tone t : Tones::all) {
            const QString s = say(t);
            SCOPED_TRACE(s.toStdString());
            EXPECT_FALSE(seen.contains(s));
            EXPECT_FALSE(broken.match(s).hasMatch());
            for (const QString& v : values)
                EXPECT_TRUE(s.contains(v));
            seen << s;
        }
    }
    for (Tone t : Tones::all)
        EXPECT_TRUE(Tones::start(t, d, "Tea").endsWith(Tones::start(t, d, ""))) << int(t);
}
