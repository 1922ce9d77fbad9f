#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The one-line messages a second pobi sends to the running one, and the replies. Each line
// starts with "pobi" and the protocol version, so an older or newer peer is recognised rather
// than misread: "pobi 1 open\n" -> "pobi 1 ok\n", "pobi 1 run 25m tea\n" -> "pobi 1 ok Timer
// 25:00 · Tea · ends at 14:45\n", "pobi 1 run nonsense\n" -> "pobi 1 error <why>\n". Text in a
// line is UTF-8 with backslash, newline and carriage return escaped, so one message is always
// one line. A new request is a new verb in the table of InstanceMessage.cpp.
namespace InstanceMessage {

inline constexpr int version = 1;
// The longest request line, newline included; the server refuses anything longer.
inline constexpr int maxLine = 4096;

enum class Request {
    Open,       // open the popup
    Toggle,     // open the popup, or close it when open
    Run,        // run the text as if typed in the popup's timer field
    Status,     // what runs, in one line of words
    StatusJson, // the same as one JSON object
};

struct Message {
    Request request = Request::Open;
    QString text; // Run's line; empty for the others
    bool operator==(const Message&) const = default;
};

struct Reply {
    bool ok = false;
    QString text; // the answer, or why the request was refused; may be empty
    bool operator==(const Reply&) const = default;
};

// The request as one line, newline included. Only Run carries its text.
QByteArray request(const Message& message);
// The request in one line (with or without its newline); absent for anything else, including
// another protocol version, text on a request that takes none, a broken escape or invalid UTF-8.
std::optional<Message> parseRequest(const QByteArray& line);

QByteArray reply(const Reply& reply);
// Absent for a line that is not a reply of this version.
std::optional<Reply> parseReply(const QByteArray& line);

} // namespace InstanceMessage
