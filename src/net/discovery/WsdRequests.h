#pragma once
// The WS-Discovery requests a search sends: over UDP the Probe and the Resolve, over HTTP the metadata
// Get, each a SOAP envelope with a fresh message id. Stateless; any thread.

#include <string>

// A new message id: "urn:uuid:" and a random identifier.
std::string NewWsdMessageId();

std::string BuildWsdProbe(const std::string& messageId);
// endpoint comes from an answer: it is escaped.
std::string BuildWsdResolve(const std::string& messageId, const std::string& endpoint);
std::string BuildWsdGet(const std::string& messageId, const std::string& endpoint);
