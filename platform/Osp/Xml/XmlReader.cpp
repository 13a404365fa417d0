#include "Osp/Xml/XmlReader.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include "host/QtString.h"

namespace Osp::Xml {

struct XmlReader::Impl {
    QByteArray bytes;
    QXmlStreamReader reader;
};

XmlReader::XmlReader(const void* data, std::size_t length, const XmlReaderLimits& limits)
    : impl_(std::make_unique<Impl>()), limits_(limits) {
    impl_->bytes = QByteArray(static_cast<const char*>(data), static_cast<qsizetype>(length));
    impl_->reader.addData(impl_->bytes);
    // Entities declared by the document are small at most: a nested expansion is refused early.
    impl_->reader.setEntityExpansionLimit(64);
}

XmlReader::~XmlReader() = default;

XmlToken XmlReader::ReadNext() {
    if (stopped_) {
        return XML_TOKEN_ERROR;
    }
    QXmlStreamReader& reader = impl_->reader;
    while (true) {
        if (++tokens_ > limits_.maxTokens) {
            break;
        }
        QXmlStreamReader::TokenType type = reader.readNext();
        if (reader.hasError()) {
            break;
        }
        switch (type) {
            case QXmlStreamReader::StartElement:
                if (++depth_ > limits_.maxDepth) {
                    stopped_ = true;
                    return XML_TOKEN_ERROR;
                }
                namespaceUri_ = host::FromQString(reader.namespaceUri().toString());
                localName_ = host::FromQString(reader.name().toString());
                text_.clear();
                return XML_TOKEN_START_ELEMENT;
            case QXmlStreamReader::EndElement:
                namespaceUri_ = host::FromQString(reader.namespaceUri().toString());
                localName_ = host::FromQString(reader.name().toString());
                --depth_;
                return XML_TOKEN_END_ELEMENT;
            case QXmlStreamReader::Characters:
                text_ = host::FromQString(reader.text().toString());
                return XML_TOKEN_TEXT;
            case QXmlStreamReader::EndDocument:
                stopped_ = true;
                return XML_TOKEN_END_DOCUMENT;
            case QXmlStreamReader::DTD:
                // A document type could declare entities; documents from the network need none.
                stopped_ = true;
                return XML_TOKEN_ERROR;
            default:
                continue;
        }
    }
    stopped_ = true;
    return XML_TOKEN_ERROR;
}

std::wstring XmlReader::Attribute(const std::wstring& name) const {
    return host::FromQString(impl_->reader.attributes().value(host::ToQString(name)).toString());
}

}  // namespace Osp::Xml
