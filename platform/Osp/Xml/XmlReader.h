#pragma once
// A pull reader over one XML document held in memory, for documents that come from outside. It walks the
// document token by token: the start of an element (with its namespace and local name), text, the end of
// an element. It never fetches anything, expands no external entity and reads no document type. It stops
// with XML_TOKEN_ERROR at the first malformed byte, at a nesting deeper than the limit given, or after
// more tokens than the limit given; once stopped it keeps answering XML_TOKEN_ERROR.
//
// Any thread; one reader per thread. The reader copies the bytes it is given.

#include <cstddef>
#include <memory>
#include <string>

namespace Osp::Xml {

enum XmlToken {
    XML_TOKEN_START_ELEMENT,
    XML_TOKEN_END_ELEMENT,
    XML_TOKEN_TEXT,
    XML_TOKEN_END_DOCUMENT,
    XML_TOKEN_ERROR,
};

struct XmlReaderLimits {
    int maxDepth = 32;
    int maxTokens = 20000;
};

class XmlReader {
public:
    XmlReader(const void* data, std::size_t length, const XmlReaderLimits& limits);
    ~XmlReader();
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    // The next element start, element end or text (whitespace between elements included); comments and
    // processing instructions are skipped.
    XmlToken ReadNext();
    // Of the current element start or end: its namespace URI and local name, UTF-16 units.
    const std::wstring& NamespaceUri() const { return namespaceUri_; }
    const std::wstring& LocalName() const { return localName_; }
    // Of the current text: the characters, references resolved.
    const std::wstring& Text() const { return text_; }
    // Of the current element start: the value of the attribute without a namespace, empty when absent.
    std::wstring Attribute(const std::wstring& name) const;
    // Elements open at the current token, the current element start counted.
    int Depth() const { return depth_; }

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
    XmlReaderLimits limits_;
    std::wstring namespaceUri_;
    std::wstring localName_;
    std::wstring text_;
    int depth_ = 0;
    int tokens_ = 0;
    bool stopped_ = false;
};

}  // namespace Osp::Xml
