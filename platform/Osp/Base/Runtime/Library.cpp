#include "Osp/Base/Runtime/Library.h"

#include <dlfcn.h>

#include "host/QtString.h"

namespace Osp::Base::Runtime {

namespace {

QByteArray HostBytes(const String& text) {
    return host::ToQString(text.Units()).toUtf8();
}

}  // namespace

Library::~Library() {
    if (handle_ != nullptr) {
        dlclose(handle_);
    }
}

result Library::Construct(const String& path) {
    if (handle_ != nullptr) {
        return E_INVALID_STATE;
    }
    // Symbols stay local so that two libraries with the same names do not bind to each other.
    handle_ = dlopen(HostBytes(path).constData(), RTLD_NOW | RTLD_LOCAL);
    return handle_ != nullptr ? E_SUCCESS : E_FILE_NOT_FOUND;
}

void* Library::GetProcAddress(const String& name) const {
    return handle_ != nullptr ? dlsym(handle_, HostBytes(name).constData()) : nullptr;
}

}  // namespace Osp::Base::Runtime
