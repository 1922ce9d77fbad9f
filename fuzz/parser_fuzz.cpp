// Feeds arbitrary bytes to the command parser, read both as UTF-8 and as raw UTF-16 (which
// reaches lone surrogates and code units UTF-8 decoding never produces).
#include "core/timer/Parser.h"

#include <QTimeZone>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Whatever goes in, what comes out is a command that can be started.
void check(const std::optional<Command>& command) {
    if (!command)
        return;
    const bool sane = command->kind == Command::Kind::Timer
                          ? command->total >= 1 && command->total <= 86400
                          : command->total == 0 && command->label.isEmpty();
    if (!sane)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The night the clocks go forward in Berlin, so the gap is reachable.
    static const QDateTime now(QDate(2026, 3, 29), QTime(1, 30), QTimeZone("Europe/Berlin"));
    const QString utf8 =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    check(Parser::parse(utf8, now));
    (void)Parser::tidy(utf8);

    QString utf16(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, (size / 2) * 2);
    check(Parser::parse(utf16, now));
    (void)Parser::tidy(utf16);
    return 0;
}
