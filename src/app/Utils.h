#pragma once
// All of the shared helpers at once, for files that use several kinds of them: byte buffers, string
// conversions and edits, paths, wildcards, formatting, time and settings values. Each header below
// states its own contract.

#include "app/ByteOrder.h"
#include "app/Format.h"
#include "app/PathUtils.h"
#include "app/RegValue.h"
#include "app/StringConv.h"
#include "app/StringUtils.h"
#include "app/Time.h"
#include "app/Wildcard.h"
