#pragma once
// LOCKING_ANDX as the server's oplock break and the client's release of the oplock. A server that another
// client asks for a file this client holds under an oplock sends the break unasked (multiplex id 0xFFFF)
// and keeps the other client waiting until the holder releases the oplock or a time-out runs out. The
// release has no answer. Stateless; any thread.

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_LOCKING_ANDX = 0x24;

// True, with the file's handle in *fid, when message is the server's oplock break request.
bool ParseOplockBreakRequest(const Smb& message, unsigned short* fid);

// The release of the oplock on fid (owned by the caller), taking no lock and undoing none.
Smb* CreateOplockReleaseRequestN(unsigned short fid);
