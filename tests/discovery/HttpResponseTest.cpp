// Reading the metadata exchange's HTTP answer as it arrives: the three ways a body ends, and answers too
// long or broken.

#include <gtest/gtest.h>

#include <string>

#include "net/discovery/HttpResponse.h"

namespace {

TEST(HttpResponse, TableOfAnswers) {
    const std::string ok = "HTTP/1.0 200 OK\r\nContent-Type: application/soap+xml\r\n";
    const struct {
        const char* what;
        std::string data;
        bool closed;
        THttpParse result;
        int status;
        std::string body;
    } cases[] = {
        {"length", ok + "Content-Length: 5\r\n\r\nhello", false, HTTP_COMPLETE, 200, "hello"},
        {"length, more to come", ok + "Content-Length: 5\r\n\r\nhel", false, HTTP_NEED_MORE, 0, ""},
        {"length, closed early", ok + "Content-Length: 5\r\n\r\nhel", true, HTTP_BAD, 0, ""},
        {"until closed (wsdd)", ok + "\r\n<a/>", true, HTTP_COMPLETE, 200, "<a/>"},
        {"until closed, still open", ok + "\r\n<a/>", false, HTTP_NEED_MORE, 0, ""},
        {"chunks", ok + "Transfer-Encoding: chunked\r\n\r\n3\r\nhel\r\n2;x=y\r\nlo\r\n0\r\n\r\n", false,
         HTTP_COMPLETE, 200, "hello"},
        {"chunks, cut", ok + "Transfer-Encoding: chunked\r\n\r\n3\r\nhe", false, HTTP_NEED_MORE, 0, ""},
        {"chunks, closed early", ok + "Transfer-Encoding: chunked\r\n\r\n3\r\nhe", true, HTTP_BAD, 0, ""},
        {"chunk size not hex", ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\n", false, HTTP_BAD, 0, ""},
        {"chunk past the limit", ok + "Transfer-Encoding: chunked\r\n\r\nffffff\r\n", false, HTTP_BAD, 0, ""},
        {"error status", "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", false, HTTP_COMPLETE, 404,
         ""},
        {"headers only so far", ok, false, HTTP_NEED_MORE, 0, ""},
        {"headers never end", ok + std::string(kMaxHttpHeader, 'x'), false, HTTP_BAD, 0, ""},
        {"not HTTP", "SSH-2.0-OpenSSH\r\n\r\n", false, HTTP_BAD, 0, ""},
        {"length too big", ok + "Content-Length: 100\r\n\r\n", false, HTTP_BAD, 0, ""},
        {"length twice", ok + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab", false, HTTP_BAD, 0, ""},
        {"length not a number", ok + "Content-Length: -1\r\n\r\n", false, HTTP_BAD, 0, ""},
        {"other encoding", ok + "Transfer-Encoding: gzip\r\n\r\n", false, HTTP_BAD, 0, ""},
        {"header without colon", ok + "garbage\r\n\r\n", false, HTTP_BAD, 0, ""},
        {"body past the limit", ok + "\r\n" + std::string(65, 'a'), false, HTTP_BAD, 0, ""},
    };
    for (const auto& c : cases) {
        int status = 0;
        std::string body;
        EXPECT_EQ(ParseHttpResponse(c.data, c.closed, 64, &status, &body), c.result) << c.what;
        if (c.result == HTTP_COMPLETE) {
            EXPECT_EQ(status, c.status) << c.what;
            EXPECT_EQ(body, c.body) << c.what;
        }
    }
}

}  // namespace
