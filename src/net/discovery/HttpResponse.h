#pragma once
// Reading an HTTP/1.x response from a peer on the network, as it arrives: the status line, the headers
// and a body delimited by Content-Length, by chunks, or by the end of the connection. Bounded: headers
// longer than kMaxHttpHeader or a body longer than the caller's limit make the response bad. Stateless;
// any thread.

#include <cstddef>
#include <string>

inline constexpr std::size_t kMaxHttpHeader = 8 * 1024;

enum THttpParse { HTTP_NEED_MORE, HTTP_COMPLETE, HTTP_BAD };

// data holds every byte received so far; closed tells that the peer has closed the connection. On
// HTTP_COMPLETE, *status and *body are set.
THttpParse ParseHttpResponse(const std::string& data, bool closed, std::size_t maxBody, int* status,
                             std::string* body);
