#include "net/discovery/WsdRequests.h"

#include "Osp/Base/UuId.h"
#include "app/StringConv.h"

namespace {

constexpr char kActionBase[] = "http://schemas.xmlsoap.org/ws/2005/04/discovery/";
constexpr char kDiscoveryTo[] = "urn:schemas-xmlsoap-org:ws:2005:04:discovery";
constexpr char kGetAction[] = "http://schemas.xmlsoap.org/ws/2004/09/transfer/Get";

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Envelope(const std::string& to, const std::string& action, const std::string& messageId,
                     const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
           "xmlns:wsd=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\" "
           "xmlns:wsdp=\"http://schemas.xmlsoap.org/ws/2006/02/devprof\">"
           "<soap:Header><wsa:To>" +
           Escape(to) + "</wsa:To><wsa:Action>" + Escape(action) + "</wsa:Action><wsa:MessageID>" +
           Escape(messageId) + "</wsa:MessageID></soap:Header><soap:Body>" + body +
           "</soap:Body></soap:Envelope>";
}

}  // namespace

std::string NewWsdMessageId() {
    return "urn:uuid:" + ToStlString(Osp::Base::UuId::Generate().ToString());
}

std::string BuildWsdProbe(const std::string& messageId) {
    return Envelope(kDiscoveryTo, std::string(kActionBase) + "Probe", messageId,
                    "<wsd:Probe><wsd:Types>wsdp:Device</wsd:Types></wsd:Probe>");
}

std::string BuildWsdResolve(const std::string& messageId, const std::string& endpoint) {
    return Envelope(kDiscoveryTo, std::string(kActionBase) + "Resolve", messageId,
                    "<wsd:Resolve><wsa:EndpointReference><wsa:Address>" + Escape(endpoint) +
                        "</wsa:Address></wsa:EndpointReference></wsd:Resolve>");
}

std::string BuildWsdGet(const std::string& messageId, const std::string& endpoint) {
    return Envelope(endpoint, kGetAction, messageId, "");
}
