#include "InstanceMessage.h"

#include <QList>

namespace InstanceMessage {
namespace {

QByteArray line(const char* word) {
    return QByteArray("pobi ") + QByteArray::number(version) + ' ' + word + '\n';
}

// The word after "pobi <version>", or empty when the line is not ours or of another version.
QByteArray word(const QByteArray& text) {
    const QList<QByteArray> parts = text.trimmed().split(' ');
    if (parts.size() != 3 || parts[0] != "pobi" || parts[1] != QByteArray::number(version))
        return {};
    return parts[2];
}

} // namespace

QByteArray request(Request request) {
    return line(request == Request::Toggle ? "toggle" : "open");
}

std::optional<Request> parseRequest(const QByteArray& text) {
    const QByteArray w = word(text);
    if (w == "open")
        return Request::Open;
    if (w == "toggle")
        return Request::Toggle;
    return std::nullopt;
}

QByteArray reply(bool ok) {
    return line(ok ? "ok" : "error");
}

bool parseReply(const QByteArray& text) {
    return word(text) == "ok";
}

} // namespace InstanceMessage
