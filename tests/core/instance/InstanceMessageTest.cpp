#include "core/instance/InstanceMessage.h"

#include <gtest/gtest.h>

using InstanceMessage::Message;
using InstanceMessage::Reply;
using InstanceMessage::Request;

// Every request and reply is one line, whatever its text holds, and reads back as it was sent.
TEST(InstanceMessage, RequestsAndRepliesRoundTripAsOneLineEach) {
    EXPECT_EQ(InstanceMessage::request({Request::Run, QStringLiteral("25m tea")}),
              QByteArray("pobi 1 run 25m tea\n"));
    EXPECT_EQ(InstanceMessage::reply({true, {}}), QByteArray("pobi 1 ok\n"));
    EXPECT_EQ(InstanceMessage::parseRequest("pobi 1 toggle\r\n"), (Message{Request::Toggle, {}}));

    const QString texts[] = {QString(), QStringLiteral("25m tea"), QStringLiteral(" -5m "),
                             QStringLiteral("a\\nb\nc\r\\"), QStringLiteral("Tee \u00B7 5 Min")};
    for (const QString& text : texts) {
        for (Request r :
             {Request::Open, Request::Toggle, Request::Run, Request::Status, Request::StatusJson}) {
            const Message message{r, r == Request::Run ? text : QString()};
            const QByteArray line = InstanceMessage::request(message);
            EXPECT_EQ(line.indexOf('\n'), line.size() - 1) << line.toStdString();
            EXPECT_EQ(InstanceMessage::parseRequest(line), message) << line.toStdString();
        }
        for (bool ok : {true, false}) {
            const QByteArray line = InstanceMessage::reply({ok, text});
            EXPECT_EQ(line.indexOf('\n'), line.size() - 1) << line.toStdString();
            EXPECT_EQ(InstanceMessage::parseReply(line), (Reply{ok, text})) << line.toStdString();
        }
    }
}

TEST(InstanceMessage, ForeignMalformedAndUnknownLinesAreRefused) {
    for (const char* line :
         {"", "\n", "open", "pobi open", "pobi 2 open", "pobi 2 run 25m", "pobi 1 close",
          "pobi 1 open now", "pobi 1 status-json x", "POBI 1 open", "pobi 1", "pobi 1 run a\\x",
          "pobi 1 run ends in \\", "pobi 1 run two\nlines", "pobi 1 run \xff\xfe"})
        EXPECT_FALSE(InstanceMessage::parseRequest(line).has_value()) << line;
    for (const char* line : {"pobi 2 ok\n", "", "pobi 1 okay\n", "pobi 1 ok bad \\q\n"})
        EXPECT_FALSE(InstanceMessage::parseReply(line).has_value()) << line;
}
