#pragma once

#include <QString>
#include <array>
#include <optional>

// The voice personality. Order matters: it is the order the settings picker shows.
enum class Tone { Calm, Cheery, Coach };

// Phrasebook: every sentence Pobi says while something runs. Pure functions of tone and values.
namespace Tones {
// Every tone, in the order the settings picker lists them.
inline constexpr std::array<Tone, 3> all = {Tone::Calm, Tone::Cheery, Tone::Coach};

QString rawValue(Tone tone);                           // "calm", "cheery", "coach"
QString displayName(Tone tone);                        // "Calm", ...
std::optional<Tone> fromRawValue(const QString& text); // exact, lower-case only
QString hello(Tone tone);
QString start(Tone tone, const QString& spelled, const QString& label);
QString swStart(Tone tone);
QString left(Tone tone, const QString& spelled);
QString minute(Tone tone);
QString half(Tone tone, const QString& spelled);
QString end(Tone tone, const QString& label);
QString elapsed(Tone tone, const QString& spelled);
QString lap(Tone tone, int n, const QString& spelled);
QString pause(Tone tone);
QString resume(Tone tone);
QString cancel(Tone tone);
QString practice(Tone tone, const QString& spelled);
QString tempo(Tone tone, int bpm, const QString& signature);
} // namespace Tones
