#include "net/discovery/HttpResponse.h"

#include <cctype>

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

bool ParseNumber(const std::string& text, int base, std::size_t limit, std::size_t* out) {
    if (text.empty() || text.size() > 8) {
        return false;
    }
    std::size_t value = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(c) - 'a' + 10
                              : -1;
        if (digit < 0) {
            return false;
        }
        value = value * static_cast<std::size_t>(base) + static_cast<std::size_t>(digit);
    }
    *out = value;
    return value <= limit;
}

// Chunks from offset on: each a hexadecimal size line (extensions after ';' ignored), the bytes and a
// line end, up to a chunk of size 0.
THttpParse ReadChunks(const std::string& data, std::size_t offset, bool closed, std::size_t maxBody,
                      std::string* body) {
    body->clear();
    while (true) {
        const std::size_t lineEnd = data.find("\r\n", offset);
        if (lineEnd == std::string::npos) {
            return closed || data.size() - offset > 64 ? HTTP_BAD : HTTP_NEED_MORE;
        }
        std::string sizeText = data.substr(offset, lineEnd - offset);
        sizeText = sizeText.substr(0, sizeText.find(';'));
        std::size_t size = 0;
        if (!ParseNumber(sizeText, 16, maxBody - body->size(), &size)) {
            return HTTP_BAD;
        }
        offset = lineEnd + 2;
        if (size == 0) {
            // Trailers are not read: the body is whole.
            return HTTP_COMPLETE;
        }
        if (data.size() - offset < size + 2) {
            return closed ? HTTP_BAD : HTTP_NEED_MORE;
        }
        if (data.compare(offset + size, 2, "\r\n") != 0) {
            return HTTP_BAD;
        }
        body->append(data, offset, size);
        offset += size + 2;
    }
}

}  // namespace

THttpParse ParseHttpResponse(const std::string& data, bool closed, std::size_t maxBody, int* status,
                             std::string* body) {
    const std::size_t headerEnd = data.find("\r\n\r\n");
    if (headerEnd == std::string::npos || headerEnd > kMaxHttpHeader) {
        return closed || data.size() > kMaxHttpHeader ? HTTP_BAD : HTTP_NEED_MORE;
    }
    // "HTTP/1.x NNN reason"
    if (data.compare(0, 7, "HTTP/1.") != 0 || headerEnd < 12 || data[8] != ' ' ||
        !std::isdigit(static_cast<unsigned char>(data[9])) ||
        !std::isdigit(static_cast<unsigned char>(data[10])) ||
        !std::isdigit(static_cast<unsigned char>(data[11]))) {
        return HTTP_BAD;
    }
    const int code = (data[9] - '0') * 100 + (data[10] - '0') * 10 + (data[11] - '0');
    bool chunked = false;
    bool hasLength = false;
    std::size_t length = 0;
    std::size_t line = data.find("\r\n") + 2;
    while (line < headerEnd + 2) {
        const std::size_t end = data.find("\r\n", line);
        const std::string header = data.substr(line, end - line);
        line = end + 2;
        const std::size_t colon = header.find(':');
        if (colon == std::string::npos) {
            return HTTP_BAD;
        }
        const std::string name = Lower(header.substr(0, colon));
        std::string value = header.substr(colon + 1);
        value.erase(0, value.find_first_not_of(" \t"));
        value.erase(value.find_last_not_of(" \t") + 1);
        if (name == "content-length") {
            if (hasLength || !ParseNumber(value, 10, maxBody, &length)) {
                return HTTP_BAD;
            }
            hasLength = true;
        } else if (name == "transfer-encoding") {
            if (Lower(value) != "chunked") {
                return HTTP_BAD;
            }
            chunked = true;
        }
    }
    const std::size_t bodyStart = headerEnd + 4;
    THttpParse result = HTTP_COMPLETE;
    if (chunked) {
        result = ReadChunks(data, bodyStart, closed, maxBody, body);
    } else if (hasLength) {
        if (data.size() - bodyStart < length) {
            return closed ? HTTP_BAD : HTTP_NEED_MORE;
        }
        *body = data.substr(bodyStart, length);
    } else {
        if (data.size() - bodyStart > maxBody) {
            return HTTP_BAD;
        }
        if (!closed) {
            return HTTP_NEED_MORE;
        }
        *body = data.substr(bodyStart);
    }
    if (result == HTTP_COMPLETE) {
        *status = code;
    }
    return result;
}
