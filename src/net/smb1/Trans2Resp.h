#pragma once
// A received TRANSACTION or TRANSACTION2 answer, checked and split into setup words, parameters and data.
// Only answers complete in one message are taken; every offset and count is checked to lie inside the
// message before the pointers are set. One thread at a time.

#include <memory>

#include "net/smb1/Smb.h"

class Trans2Resp {
public:
    Trans2Resp() = default;

    // Takes ownership of `m` whatever the outcome. RES_OK for an answer without words (an error answer;
    // the status is in the header) or a complete, consistent one; RES_BAD_RESPONSE otherwise.
    unsigned int FromSmb(const Smb* m);

    const Smb* GetSmb() const { return smb_.get(); }
    const unsigned char* GetSetup() const { return setup_; }
    unsigned char GetSetupCount() const { return setupCount_; }
    // Null when the count is 0.
    const unsigned char* GetParams() const { return params_; }
    unsigned short GetParamCount() const { return paramCount_; }
    const unsigned char* GetData() const { return data_; }
    unsigned short GetDataCount() const { return dataCount_; }

    // The held message, now the caller's; the response is left empty.
    const Smb* ReleaseSmbN();

private:
    void Clear();

    std::unique_ptr<const Smb> smb_;
    const unsigned char* setup_ = nullptr;
    unsigned char setupCount_ = 0;
    const unsigned char* params_ = nullptr;
    unsigned short paramCount_ = 0;
    const unsigned char* data_ = nullptr;
    unsigned short dataCount_ = 0;
};
