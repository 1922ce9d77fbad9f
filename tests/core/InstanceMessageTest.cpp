#include "InstanceMessage.h"

#include <gtest/gtest.h>

using InstanceMessage::Request;

TEST(InstanceMessage, RequestsRoundTripAsVersionedLines) {
    EXPECT_EQ(InstanceMessage::request(Request::Open), QByteArray("pobi 1 open\n"));
    EXPECT_EQ(InstanceMessage::request(Request::Toggle), QByteArray("pobi 1 toggle\n"));
    for (Request r : {Request::Open, Request::Toggle})
        EXPECT_EQ(InstanceMessage::parseRequest(InstanceMessage::request(r)), r);
}

TEST(InstanceMessage, RejectsForeignAndOtherVersions) {
    for (const char* line : {"", "\n", "open", "pobi open", "pobi 2 open", "pobi 1 close",
                             "pobi 1 open now", "POBI 1 open", "pobi 1"})
        EXPECT_FALSE(InstanceMessage::parseRequest(line).has_value()) << line;
    EXPECT_EQ(InstanceMessage::parseRequest("pobi 1 toggle\r\n"), Request::Toggle);
}

TEST(InstanceMessage, Replies) {
    EXPECT_TRUE(InstanceMessage::parseReply(InstanceMessage::reply(true)));
    EXPECT_FALSE(InstanceMessage::parseReply(InstanceMessage::reply(false)));
    EXPECT_FALSE(InstanceMessage::parseReply("pobi 2 ok\n"));
    EXPECT_FALSE(InstanceMessage::parseReply(""));
}
