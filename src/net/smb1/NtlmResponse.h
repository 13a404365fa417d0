#pragma once
// The NTLM (version 1) challenge response that SESSION_SETUP_ANDX and TREE_CONNECT_ANDX carry. Stateless;
// any thread.

#include <string>

inline constexpr unsigned int kNtlmResponseLength = 24;
inline constexpr unsigned int kNtlmChallengeLength = 8;

// Writes the 24-byte response of `password` (hashed exactly as typed) to the server's 8-byte challenge.
void CreateNtlmResp(unsigned char* out, const unsigned char* challenge, const std::wstring& password);
