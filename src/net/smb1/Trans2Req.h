#pragma once
// A TRANSACTION or TRANSACTION2 request under construction: Construct lays out the words, the optional
// name, the parameter block and the data block (each at the offsets the layout gives), and the caller then
// fills the setup words, parameters and data in place before handing the message on with ReleaseSmbN.
// One thread at a time.

#include <memory>
#include <string>

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_TRANSACTION = 0x25;
inline constexpr unsigned char SMB_COM_TRANSACTION2 = 0x32;

class Trans2Req {
public:
    Trans2Req() = default;

    // False, leaving the request empty, when the pieces do not fit one message.
    bool Construct(unsigned char command, unsigned char setupCount, unsigned short paramCount,
                   unsigned short dataCount, unsigned char maxSetupCount, unsigned short maxParamCount,
                   unsigned short maxDataCount, const std::wstring& name);

    unsigned char* GetSetup() const { return setup_; }
    unsigned char* GetParams() const { return params_; }
    unsigned char* GetData() const { return data_; }

    // The built message, now the caller's; the request is left empty.
    Smb* ReleaseSmbN();

private:
    std::unique_ptr<Smb> smb_;
    unsigned char* setup_ = nullptr;
    unsigned char* params_ = nullptr;
    unsigned char* data_ = nullptr;
};
