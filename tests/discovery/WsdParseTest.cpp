// Reading WS-Discovery answers and the metadata a computer sends: the forms wsdd and Windows send, and
// hostile ones (malformed, endless, nested, entity-laden, out of bounds) that must be refused whole.

#include <gtest/gtest.h>

#include <string>

#include "net/discovery/WsdMessages.h"
#include "net/discovery/WsdMetadata.h"
#include "net/discovery/WsdRequests.h"

namespace {

const std::string kNamespaces =
    "xmlns:soap=\"http://www.w3.org/2003/05/soap-envelope\" "
    "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
    "xmlns:wsd=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\" "
    "xmlns:wsx=\"http://schemas.xmlsoap.org/ws/2004/09/mex\" "
    "xmlns:wsdp=\"http://schemas.xmlsoap.org/ws/2006/02/devprof\" "
    "xmlns:pub=\"http://schemas.microsoft.com/windows/pub/2005/07\"";

std::string Envelope(const std::string& action, const std::string& relatesTo, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope " + kNamespaces +
           "><soap:Header><wsa:To>http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</wsa:To>"
           "<wsa:Action>" +
           action +
           "</wsa:Action><wsa:MessageID>urn:uuid:5a0c7c4e-1f1e-11ef-9f4b-525400000001</wsa:MessageID>" +
           (relatesTo.empty() ? "" : "<wsa:RelatesTo>" + relatesTo + "</wsa:RelatesTo>") +
           "</soap:Header><soap:Body>" + body + "</soap:Body></soap:Envelope>";
}

std::string Match(const std::string& element, const std::string& endpoint, const std::string& types,
                  const std::string& xaddrs) {
    return "<wsd:" + element + "><wsa:EndpointReference><wsa:Address>" + endpoint +
           "</wsa:Address></wsa:EndpointReference><wsd:Types>" + types + "</wsd:Types>" +
           (xaddrs.empty() ? "" : "<wsd:XAddrs>" + xaddrs + "</wsd:XAddrs>") +
           "<wsd:MetadataVersion>1</wsd:MetadataVersion></wsd:" + element + ">";
}

const std::string kProbeMatches = "http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches";
const std::string kResolveMatches = "http://schemas.xmlsoap.org/ws/2005/04/discovery/ResolveMatches";
const std::string kEndpoint = "urn:uuid:0ae5f5a4-5b2b-5d4b-a5e8-1e6f6c3c4a21";
const std::string kProbeId = "urn:uuid:11111111-2222-3333-4444-555555555555";

bool Parse(const std::string& text, WsdMessage* out) {
    return ParseWsdMessage(text.data(), text.size(), out);
}

TEST(WsdMessages, ReadsTheMatchesOfWsddAndWindows) {
    WsdMessage m;
    // wsdd answers a Probe without a transport address.
    ASSERT_TRUE(
        Parse(Envelope(kProbeMatches, kProbeId,
                       "<wsd:ProbeMatches>" + Match("ProbeMatch", kEndpoint, "wsdp:Device pub:Computer", "") +
                           "</wsd:ProbeMatches>"),
              &m));
    EXPECT_EQ(m.action, WSD_ACTION_PROBE_MATCHES);
    EXPECT_EQ(m.relatesTo, kProbeId);
    ASSERT_EQ(m.matches.size(), 1u);
    EXPECT_EQ(m.matches[0].endpoint, kEndpoint);
    EXPECT_TRUE(m.matches[0].xaddrs.empty());
    EXPECT_TRUE(WsdTypesNameComputer(m.matches[0].types));

    ASSERT_TRUE(Parse(Envelope(kResolveMatches, kProbeId,
                               "<wsd:ResolveMatches>" +
                                   Match("ResolveMatch", kEndpoint, "wsdp:Device pub:Computer",
                                         " http://10.213.0.1:5357/0ae5f5a4-5b2b-5d4b-a5e8-1e6f6c3c4a21 ") +
                                   "</wsd:ResolveMatches>"),
                      &m));
    EXPECT_EQ(m.action, WSD_ACTION_RESOLVE_MATCHES);
    ASSERT_EQ(m.matches.size(), 1u);
    EXPECT_EQ(m.matches[0].xaddrs, "http://10.213.0.1:5357/0ae5f5a4-5b2b-5d4b-a5e8-1e6f6c3c4a21");

    // Other prefixes for the same namespaces are the same message.
    std::string renamed =
        Envelope(kProbeMatches, kProbeId,
                 "<d:ProbeMatches xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\">"
                 "<d:ProbeMatch><a:EndpointReference "
                 "xmlns:a=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\"><a:Address>" +
                     kEndpoint +
                     "</a:Address></a:EndpointReference><d:Types>p:Computer</d:Types>"
                     "</d:ProbeMatch></d:ProbeMatches>");
    ASSERT_TRUE(Parse(renamed, &m));
    ASSERT_EQ(m.matches.size(), 1u);
    EXPECT_EQ(m.matches[0].endpoint, kEndpoint);

    // A Probe or Hello from someone else is well-formed but carries nothing to follow.
    ASSERT_TRUE(Parse(Envelope("http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe", "",
                               "<wsd:Probe><wsd:Types>wsdp:Device</wsd:Types></wsd:Probe>"),
                      &m));
    EXPECT_EQ(m.action, WSD_ACTION_OTHER);
    EXPECT_TRUE(m.matches.empty());
}

TEST(WsdMessages, RefusesHostileDatagrams) {
    const std::string good = Match("ProbeMatch", kEndpoint, "pub:Computer", "");
    std::string manyMatches;
    for (size_t i = 0; i <= kWsdMaxMatches; ++i) {
        manyMatches += good;
    }
    std::string deep;
    for (int i = 0; i < 100; ++i) {
        deep += "<wsd:x>";
    }
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 "
        "\"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">]>"
        "<soap:Envelope " +
        kNamespaces + "><soap:Body>&lol2;</soap:Body></soap:Envelope>";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"not XML", "hello"},
        {"empty", ""},
        {"cut short", Envelope(kProbeMatches, kProbeId, "<wsd:ProbeMatches>" + good + "</wsd:ProbeMatches>")
                          .substr(0, 300)},
        {"mismatched end", Envelope(kProbeMatches, kProbeId, "<wsd:ProbeMatches>" + good + "</wsd:Resolve>")},
        {"too many matches",
         Envelope(kProbeMatches, kProbeId, "<wsd:ProbeMatches>" + manyMatches + "</wsd:ProbeMatches>")},
        {"too deep", Envelope(kProbeMatches, kProbeId, deep)},
        {"entities", laughs},
        {"endpoint too long",
         Envelope(kProbeMatches, kProbeId,
                  "<wsd:ProbeMatches>" +
                      Match("ProbeMatch", std::string(kWsdMaxFieldUnits + 1, 'a'), "pub:Computer", "") +
                      "</wsd:ProbeMatches>")},
        {"control character in endpoint",
         Envelope(kProbeMatches, kProbeId,
                  "<wsd:ProbeMatches>" + Match("ProbeMatch", "urn:&#1;x", "pub:Computer", "") +
                      "</wsd:ProbeMatches>")},
        {"non-ASCII address",
         Envelope(kProbeMatches, kProbeId,
                  "<wsd:ProbeMatches>" +
                      Match("ProbeMatch", kEndpoint, "pub:Computer", "http://10.0.0.1\xc3\xa9/") +
                      "</wsd:ProbeMatches>")},
        {"two roots", Envelope(kProbeMatches, kProbeId, "") + "<soap:Envelope " + kNamespaces + "/>"},
    };
    for (const auto& c : cases) {
        WsdMessage m;
        EXPECT_FALSE(Parse(c.text, &m)) << c.what;
        EXPECT_TRUE(m.matches.empty()) << c.what;
    }
}

TEST(WsdMessages, FollowsOnlyTheSendersOwnAddress) {
    const unsigned long sender = 0x0AD50001;  // 10.213.0.1
    const struct {
        std::string xaddrs;
        bool picked;
        unsigned short port;
        std::string path;
    } cases[] = {
        {"http://10.213.0.1:5357/abc", true, 5357, "/abc"},
        {"http://10.213.0.1/", true, 80, "/"},
        {"http://10.213.0.1", true, 80, "/"},
        {"http://[fe80::1]:5357/x http://10.213.0.1:5357/y", true, 5357, "/y"},
        {"http://10.213.0.9:5357/abc", false, 0, ""},
        {"http://10.213.0.10:5357/abc", false, 0, ""},
        {"http://10.213.0.1.evil:5357/abc", false, 0, ""},
        {"https://10.213.0.1:5358/abc", false, 0, ""},
        {"http://10.213.0.1:0/abc", false, 0, ""},
        {"http://10.213.0.1:65536/abc", false, 0, ""},
        {"http://10.213.0.1:53a7/abc", false, 0, ""},
        {"", false, 0, ""},
    };
    for (const auto& c : cases) {
        unsigned short port = 0;
        std::string path;
        EXPECT_EQ(PickWsdXAddr(c.xaddrs, sender, &port, &path), c.picked) << c.xaddrs;
        if (c.picked) {
            EXPECT_EQ(port, c.port) << c.xaddrs;
            EXPECT_EQ(path, c.path) << c.xaddrs;
        }
    }
    EXPECT_TRUE(WsdTypesNameComputer("wsdp:Device pub:Computer"));
    EXPECT_FALSE(WsdTypesNameComputer("wsdp:Device wprt:PrintDeviceType"));
    EXPECT_FALSE(WsdTypesNameComputer("pub:Computers"));
}

// The GetResponse in the form wsdd and Windows send, with the host relationship's computer text.
std::string Metadata(const std::string& computer) {
    return Envelope(
        "http://schemas.xmlsoap.org/ws/2004/09/transfer/GetResponse", "",
        "<wsx:Metadata><wsx:MetadataSection Dialect=\"http://schemas.xmlsoap.org/ws/2006/02/devprof/"
        "ThisDevice\"><wsdp:ThisDevice><wsdp:FriendlyName>WSD Device X</wsdp:FriendlyName>"
        "</wsdp:ThisDevice></wsx:MetadataSection><wsx:MetadataSection "
        "Dialect=\"http://schemas.xmlsoap.org/ws/2006/02/devprof/Relationship\"><wsdp:Relationship "
        "Type=\"http://schemas.xmlsoap.org/ws/2006/02/devprof/host\"><wsdp:Host><wsa:EndpointReference>"
        "<wsa:Address>" +
            kEndpoint +
            "</wsa:Address></wsa:EndpointReference><wsdp:Types>pub:Computer</wsdp:Types>"
            "<wsdp:ServiceId>" +
            kEndpoint + "</wsdp:ServiceId>" + computer +
            "</wsdp:Host></wsdp:Relationship></wsx:MetadataSection></wsx:Metadata>");
}

TEST(WsdMetadata, ReadsComputerAndWorkgroup) {
    const struct {
        std::string computer;
        bool ok;
        std::wstring name;
        std::wstring workgroup;
    } cases[] = {
        {"<pub:Computer>CORVHOST/Workgroup:CORVGROUP</pub:Computer>", true, L"CORVHOST", L"CORVGROUP"},
        {"<pub:Computer>corvhost/Domain:corp.example</pub:Computer>", true, L"corvhost", L"corp.example"},
        {"<pub:Computer> DESKTOP-7 </pub:Computer>", true, L"DESKTOP-7", L""},
        {"<pub:Computer>DESKTOP-7/Not Joined</pub:Computer>", true, L"DESKTOP-7", L""},
        {"", false, L"", L""},
        {"<pub:Computer></pub:Computer>", false, L"", L""},
        {"<pub:Computer>/Workgroup:X</pub:Computer>", false, L"", L""},
        {"<pub:Computer>" + std::string(300, 'A') + "</pub:Computer>", false, L"", L""},
        {"<pub:Computer>A&#9;B</pub:Computer>", false, L"", L""},
        // Elsewhere than in the host relationship it names nothing.
        {"</wsdp:Host><pub:Computer>X</pub:Computer><wsdp:Host>", false, L"", L""},
    };
    for (const auto& c : cases) {
        const std::string text = Metadata(c.computer);
        WsdComputer computer;
        EXPECT_EQ(ParseWsdMetadata(text.data(), text.size(), &computer), c.ok) << c.computer;
        EXPECT_EQ(computer.name, c.name) << c.computer;
        EXPECT_EQ(computer.workgroup, c.workgroup) << c.computer;
    }
    const std::string huge = Metadata("<pub:Computer>A</pub:Computer>" + std::string(kWsdMaxMetadata, ' '));
    WsdComputer computer;
    EXPECT_FALSE(ParseWsdMetadata(huge.data(), huge.size(), &computer));
    const std::string malformed = Metadata("<pub:Computer>A</pub:Computer>").substr(0, 500);
    EXPECT_FALSE(ParseWsdMetadata(malformed.data(), malformed.size(), &computer));
}

TEST(WsdMessages, BuildsRequestsThatReadBackAndEscapeWhatCameFromOutside) {
    const std::string id = NewWsdMessageId();
    EXPECT_EQ(id.rfind("urn:uuid:", 0), 0u);
    EXPECT_NE(id, NewWsdMessageId());
    const std::string resolve = BuildWsdResolve(id, "urn:a<b>&\"c");
    EXPECT_NE(resolve.find("urn:a&lt;b&gt;&amp;&quot;c"), std::string::npos);
    for (const std::string& text : {BuildWsdProbe(id), resolve, BuildWsdGet(id, kEndpoint)}) {
        WsdMessage m;
        EXPECT_TRUE(Parse(text, &m)) << text;
    }
}

}  // namespace
