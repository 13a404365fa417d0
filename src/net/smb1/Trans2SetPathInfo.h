#pragma once
// TRANSACTION2 SET_PATH_INFORMATION: setting a file's modification time with the standard information
// level. Stateless; any thread.

#include <string>

#include "Osp/Base/DateTime.h"
#include "net/smb1/Trans2Req.h"

// The last write date and time become `modified` (UTC) in the server's zone; creation and last access get
// the current time. False when the path does not fit one message.
bool ConstructTrans2SetInfoRequest(Trans2Req& req, const std::wstring& path,
                                   const Osp::Base::DateTime& modified, short timeZone);
