// What a download accepts of an HTTP answer: its announced length and where
// a redirect led.
#include <gtest/gtest.h>

#include <string>

#include "net/content_length.h"
#include "net/same_server.h"

namespace {

TEST(ContentLength, OnlyPlainDecimalNumbersAreLengths) {
    EXPECT_EQ(ParseContentLength("12582912"), 12582912);
    EXPECT_EQ(ParseContentLength(" 0 "), 0);
    for (const char* bad : {"", " ", "12abc", "-5", "+5", "0x10", "1 2", "1234567890123456789"})
        EXPECT_FALSE(ParseContentLength(bad)) << bad;
}

// Where a redirect may lead: only back to the same server.
TEST(SameServer, OnlyTheSameSchemeHostAndPort) {
    const std::string asked = "http://download.tavrin.example/TavrinCA/tavrinsecure/tavrinsecure.exe";
    EXPECT_TRUE(SameServer(asked, asked));
    EXPECT_TRUE(SameServer(asked, "HTTP://Download.Tavrin.Example:80/elsewhere.exe?x=1"));
    for (const char* reached : {
             "http://mirror.example/TavrinCA/tavrinsecure/tavrinsecure.exe",
             "https://download.tavrin.example/TavrinCA/tavrinsecure/tavrinsecure.exe",
             "ftp://download.tavrin.example/tavrinsecure.exe",
             "http://download.tavrin.example:8080/tavrinsecure.exe",
             "http://download.tavrin.example.evil.example/tavrinsecure.exe",
             "http://download.tavrin.example@evil.example/tavrinsecure.exe",
             "http://evil.example/?http://download.tavrin.example/",
             "http://download.tavrin.example:80x/",
             "download.tavrin.example/tavrinsecure.exe",
             "",
         })
        EXPECT_FALSE(SameServer(asked, reached)) << reached;
    EXPECT_TRUE(SameServer("http://h:0080/", "http://h/"));
    EXPECT_FALSE(SameServer("s://h:0/", "s://h:#/"));  // port 0 is a port
}

}  // namespace
