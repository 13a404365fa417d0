#pragma once
// Writing one value into the settings file, whether or not its key exists yet. Called on the
// user-interface thread, which owns the registry. Each returns the result of its last registry call: a
// missing section is the caller's to add and comes back as the registry's section-not-found result.

#include "Osp/Base/ByteBuffer.h"
#include "Osp/Base/String.h"
#include "Osp/Base/UuId.h"
#include "Osp/Io/Registry.h"

Osp::Base::result SetRegValue(Osp::Io::Registry& reg, const Osp::Base::String& section,
                              const Osp::Base::String& key, const int& value);
Osp::Base::result SetRegValue(Osp::Io::Registry& reg, const Osp::Base::String& section,
                              const Osp::Base::String& key, const double& value);
Osp::Base::result SetRegValue(Osp::Io::Registry& reg, const Osp::Base::String& section,
                              const Osp::Base::String& key, const float& value);
Osp::Base::result SetRegValue(Osp::Io::Registry& reg, const Osp::Base::String& section,
                              const Osp::Base::String& key, const Osp::Base::UuId& value);
Osp::Base::result SetRegValue(Osp::Io::Registry& reg, const Osp::Base::String& section,
                              const Osp::Base::String& key, const Osp::Base::ByteBuffer& value);
// An empty string removes the key instead; a key or section that is already absent counts as success.
Osp::Base::result SetRegValue(Osp::Io::Registry& reg, const Osp::Base::String& section,
                              const Osp::Base::String& key, const Osp::Base::String& value);
