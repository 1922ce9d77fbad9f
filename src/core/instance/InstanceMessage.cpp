#include "core/instance/InstanceMessage.h"

#include <QStringDecoder>
#include <algorithm>
#include <iterator>

namespace InstanceMessage {
namespace {

struct Verb {
    Request request;
    const char* word;
    bool takesText;
};
constexpr Verb verbs[] = {{Request::Open, "open", false},
                          {Request::Toggle, "toggle", false},
                          {Request::Run, "run", true},
                          {Request::Status, "status", false},
                          {Request::StatusJson, "status-json", false}};

QByteArray prefix() {
    return QByteArray("pobi ") + QByteArray::number(version) + ' ';
}

QByteArray escape(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::optional<QString> unescape(const QByteArray& bytes) {
    QByteArray raw;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r')
            return std::nullopt; // a second line inside the first
        if (bytes[i] != '\\') {
            raw += bytes[i];
            continue;
        }
        if (++i == bytes.size())
            return std::nullopt;
        switch (bytes[i]) {
        case '\\':
            raw += '\\';
            break;
        case 'n':
            raw += '\n';
            break;
        case 'r':
            raw += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(raw);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// A line's word after "pobi <version>" and what follows it after one space; absent when the
// line is not ours or of another version. The line's end ("\n" or "\r\n") is dropped.
std::optional<std::pair<QByteArray, QByteArray>> split(QByteArray line) {
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (!line.startsWith(prefix()))
        return std::nullopt;
    line.remove(0, prefix().size());
    const qsizetype space = line.indexOf(' ');
    if (space < 0)
        return std::pair{line, QByteArray()};
    return std::pair{line.left(space), line.mid(space + 1)};
}

} // namespace

QByteArray request(const Message& message) {
    const auto* verb = std::find_if(std::begin(verbs), std::end(verbs), [&message](const Verb& v) {
        return v.request == message.request;
    });
    QByteArray line = prefix() + verb->word;
    if (verb->takesText)
        line += ' ' + escape(message.text);
    return line + '\n';
}

std::optional<Message> parseRequest(const QByteArray& line) {
    const auto parts = split(line);
    if (!parts)
        return std::nullopt;
    const auto& [word, rest] = *parts;
    for (const Verb& verb : verbs) {
        if (word != verb.word)
            continue;
        if (!verb.takesText)
            return rest.trimmed().isEmpty() ? std::optional(Message{verb.request, {}})
                                            : std::nullopt;
        const std::optional<QString> text = unescape(rest);
        if (!text)
            return std::nullopt;
        return Message{verb.request, *text};
    }
    return std::nullopt;
}

QByteArray reply(const Reply& reply) {
    QByteArray line = prefix() + (reply.ok ? "ok" : "error");
    if (!reply.text.isEmpty())
        line += ' ' + escape(reply.text);
    return line + '\n';
}

std::optional<Reply> parseReply(const QByteArray& line) {
    const auto parts = split(line);
    if (!parts || (parts->first != "ok" && parts->first != "error"))
        return std::nullopt;
    const std::optional<QString> text = unescape(parts->second);
    if (!text)
        return std::nullopt;
    return Reply{parts->first == "ok", *text};
}

} // namespace InstanceMessage
