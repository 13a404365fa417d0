#pragma once
// Walking a SOAP document from the network through the platform's XML reader. The walker tells the
// caller each element as it ends, with the path of elements from the root and the element's own text
// (the characters directly inside it, joined). Stateless; any thread.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The namespaces of the messages WS-Discovery and its metadata exchange carry.
inline constexpr wchar_t kSoapNs[] = L"http://www.w3.org/2003/05/soap-envelope";
inline constexpr wchar_t kWsaNs[] = L"http://schemas.xmlsoap.org/ws/2004/08/addressing";
inline constexpr wchar_t kWsdNs[] = L"http://schemas.xmlsoap.org/ws/2005/04/discovery";
inline constexpr wchar_t kWsxNs[] = L"http://schemas.xmlsoap.org/ws/2004/09/mex";
inline constexpr wchar_t kWsdpNs[] = L"http://schemas.xmlsoap.org/ws/2006/02/devprof";
inline constexpr wchar_t kPubNs[] = L"http://schemas.microsoft.com/windows/pub/2005/07";

struct XmlElementName {
    std::wstring ns;
    std::wstring local;
};
using XmlPath = std::vector<XmlElementName>;

struct XmlStep {
    const wchar_t* ns;
    const wchar_t* local;
};

// Calls onEnd for every element as it ends; onEnd returns false to stop the walk. False when the
// document is malformed, deeper or longer than the reader allows, an element's text is longer than
// maxTextUnits, or onEnd stopped it.
bool WalkXml(const void* data, std::size_t length, std::size_t maxTextUnits,
             const std::function<bool(const XmlPath& path, const std::wstring& text)>& onEnd);

// Whether the path's last elements are the steps given, outermost first.
bool PathEndsWith(const XmlPath& path, std::initializer_list<XmlStep> steps);

// The text without the white space around it.
std::wstring TrimXmlSpace(const std::wstring& text);
