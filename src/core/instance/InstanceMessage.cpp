#include "core/instance/InstanceMessage.h"

#include <QList>
#include <algorithm>
#include <iterator>

namespace InstanceMessage {
namespace {

struct Verb {
    Request request;
    const char* word;
};
constexpr Verb verbs[] = {{Request::Open, "open"}, {Request::Toggle, "toggle"}};

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
    const auto* verb = std::find_if(std::begin(verbs), std::end(verbs),
                                    [request](const Verb& v) { return v.request == request; });
    return line(verb->word);
}

std::optional<Request> parseRequest(const QByteArray& text) {
    const QByteArray w = word(text);
    for (const Verb& verb : verbs) {
        if (w == verb.word)
            return verb.request;
    }
    return std::nullopt;
}

QByteArray reply(bool ok) {
    return line(ok ? "ok" : "error");
}

bool parseReply(const QByteArray& text) {
    return word(text) == "ok";
}

} // namespace InstanceMessage
