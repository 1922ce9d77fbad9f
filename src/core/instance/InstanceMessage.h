#pragma once

#include <QByteArray>
#include <optional>

// The one-line messages a second pobi sends to the running one, and the replies. Each line
// starts with "pobi" and the protocol version, so an older or newer peer is recognised rather
// than misread: "pobi 1 open\n" -> "pobi 1 ok\n". A new request is a new verb in the table of
// InstanceMessage.cpp.
namespace InstanceMessage {

inline constexpr int version = 1;
// The longest request line, newline included; the server refuses anything longer.
inline constexpr int maxLine = 4096;

enum class Request { Open, Toggle };

QByteArray request(Request request);
// The request in one line (with or without its newline); absent for anything else, including
// another protocol version.
std::optional<Request> parseRequest(const QByteArray& line);

QByteArray reply(bool ok);
// True only for "pobi 1 ok".
bool parseReply(const QByteArray& line);

} // namespace InstanceMessage
