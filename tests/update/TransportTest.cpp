#include <gtest/gtest.h>

#include "HttpFetch.h"

namespace ombrix::update {

namespace {

TEST(TransportTest, plainHttpOnlyToNamedHostsAndNeverAfterHttps)
{
    Transport transport;
    transport.httpHosts = {"Mirror.LAN", "[::1]", "10.0.0.7"};
    transport.httpHostsFile = "/etc/ombrix/update.conf";
    const std::string notAllowed = " is not allowed (\"allow-http = ";
    const struct {
        std::string url;
        bool fromHttps;
        std::string refusal;
    } cases[] = {
        {"https://lists.example.org/ombrix.ini.release", false, ""},
        {"HTTPS://lists.example.org/x", true, ""},
        {"http://mirror.lan/x", false, ""},
        {"http://MIRROR.lan:8080/x", false, ""},
        {"http://[::1]:8080/x", false, ""},
        {"http://10.0.0.7/x", false, ""},
        {"http://mirror.lan/x", true, "an https address redirected to plain http (http://mirror.lan/x), which is never followed"},
        {"http://lists.example.org/x", false, "plain http to lists.example.org" + notAllowed +
                                                  "lists.example.org\" in /etc/ombrix/update.conf allows it)"},
        {"http://mirror.lan.evil.example/x", false, "plain http to mirror.lan.evil.example" + notAllowed +
                                                        "mirror.lan.evil.example\" in /etc/ombrix/update.conf allows it)"},
        {"ftp://mirror.lan/x", false, "\"ftp://mirror.lan/x\" is not an http or https address"},
        {"file:///etc/passwd", false, "\"file:///etc/passwd\" is not an http or https address"},
        {"mirror.lan/x", false, "\"mirror.lan/x\" is not an http or https address"},
        // A server's redirect target reaches the terminal and the stored message
        // only with its control and non-ASCII bytes escaped.
        {"ftp://h/\x1b[2J\a\xff x", false, "\"ftp://h/%1B[2J%07%FF%20x\" is not an http or https address"},
        {"http://mirror.lan/\r\n\x1b]0;", true, "\"http://mirror.lan/%0D%0A%1B]0;\" is not an http or https address"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddressRefusal(c.url, c.fromHttps, transport), c.refusal) << c.url;
}

TEST(TransportTest, theListIsFetchedFromTheReleasesOwnFolder)
{
    EXPECT_EQ(SiblingUrl("https://a.example/lists/ombrix.ini.release?x=1", "ombrix.ini"),
              "https://a.example/lists/ombrix.ini");
    EXPECT_EQ(SiblingUrl("http://127.0.0.1:8080/r", "l.ini"), "http://127.0.0.1:8080/l.ini");
}

// Redirect targets as servers send them: absolute ones stand, so their scheme is checked.
TEST(TransportTest, aRedirectTargetIsReadAgainstTheAddressItCameFrom)
{
    const std::string base = "https://u@a.example:8443/lists/r.release?x=1#f";
    const struct {
        std::string target;
        std::string resolved;
    } cases[] = {
        {"/other/l.ini", "https://u@a.example:8443/other/l.ini"},
        {"//mirror.example/l.ini", "https://mirror.example/l.ini"},
        {"next.release", "https://u@a.example:8443/lists/next.release"},
        {"file:///etc/passwd", "file:///etc/passwd"},
        {"HTTP://b.example/x", "HTTP://b.example/x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveUrl(base, c.target), c.resolved) << c.target;
}

}  // namespace

}  // namespace ombrix::update
