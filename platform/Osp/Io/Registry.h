#pragma once
// The settings file: named sections of named, typed values (int, double, float, string, identifier, byte
// buffer). Construct reads the whole file. Only a missing file reads as absent (E_FILE_NOT_FOUND without
// create, an empty registry with it). A file that is there but cannot be read (the error of reading it)
// or is not in this format (empty, truncated, far too large, not a regular file: E_INVALID_FORMAT) fails
// Construct with or without create, so that no registry can replace what it holds. Flush replaces the
// file atomically and leaves it readable by its owner only.

#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "Osp/Base/ByteBuffer.h"
#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Base/UuId.h"

namespace Osp::Io {

using Osp::Base::result;
using Osp::Base::String;

class Registry : public Osp::Base::Object {
public:
    result Construct(const String& path, bool createIfNotExist);

    result AddSection(const String& section);  // E_FILE_ALREADY_EXIST when present
    result RemoveSection(const String& section);
    // A new list of the section names as String objects, in order of addition; the caller deletes the
    // list and its elements.
    Osp::Base::Collection::ArrayList* GetAllSectionNamesN() const;

    // E_SECTION_NOT_FOUND, E_KEY_NOT_FOUND, or E_INVALID_FORMAT when the stored type differs.
    result GetValue(const String& section, const String& key, int& value) const;
    result GetValue(const String& section, const String& key, double& value) const;
    result GetValue(const String& section, const String& key, float& value) const;
    result GetValue(const String& section, const String& key, String& value) const;
    result GetValue(const String& section, const String& key, Osp::Base::UuId& value) const;
    result GetValue(const String& section, const String& key, Osp::Base::ByteBuffer& value) const;

    // AddValue fails with E_FILE_ALREADY_EXIST for a present key; SetValue with E_KEY_NOT_FOUND for a
    // missing one. Both fail with E_SECTION_NOT_FOUND for a missing section.
    template <typename T>
    result AddValue(const String& section, const String& key, const T& value) {
        return Put(section, key, Value(value), Mode::kAdd);
    }
    template <typename T>
    result SetValue(const String& section, const String& key, const T& value) {
        return Put(section, key, Value(value), Mode::kSet);
    }
    result RemoveValue(const String& section, const String& key);

    // Writes the registry when it changed since it was read or last written.
    result Flush();

    using Value = std::variant<int, double, float, String, Osp::Base::UuId, Osp::Base::ByteBuffer>;
    using Section = std::vector<std::pair<String, Value>>;

private:
    enum class Mode { kAdd, kSet };
    result Put(const String& section, const String& key, Value value, Mode mode);
    const Value* Find(const String& section, const String& key, result& r) const;
    template <typename T>
    result Get(const String& section, const String& key, T& value) const;

    String path_;
    std::vector<std::pair<String, Section>> sections_;
    bool constructed_ = false;
    bool dirty_ = false;
};

}  // namespace Osp::Io
