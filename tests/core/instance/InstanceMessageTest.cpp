#include "core/instance/InstanceMessage.h"

#include <gtest/gtest.h>

using InstanceMessage::Request;

TEST(InstanceMessage, VersionedLinesRoundTripAndForeignOnesAreRefused) {
    EXPECT_EQ(InstanceMessage::request(Request::Toggle), QByteArray("pobi 1 toggle\n"));
    for (Request r : {Request::Open, Request::Toggle})
        EXPECT_EQ(InstanceMessage::parseRequest(InstanceMessage::request(r)), r);
    EXPECT_EQ(InstanceMessage::parseRequest("pobi 1 toggle\r\n"), Request::Toggle);
    for (const char* line : {"", "\n", "open", "pobi open", "pobi 2 open", "pobi 1 close",
                             "pobi 1 open now", "POBI 1 open", "pobi 1"})
        EXPECT_FALSE(InstanceMessage::parseRequest(line).has_value()) << line;

    EXPECT_TRUE(InstanceMessage::parseReply(InstanceMessage::reply(true)));
    for (const char* line : {"pobi 1 error\n", "pobi 2 ok\n", ""})
        EXPECT_FALSE(InstanceMessage::parseReply(line)) << line;
}
