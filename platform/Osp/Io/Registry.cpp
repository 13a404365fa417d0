#include "Osp/Io/Registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "host/HostPaths.h"

namespace Osp::Io {

using Osp::Base::E_SUCCESS;

namespace {

const char kMagic[] = "corvane-settings 1";
const char kEnd[] = "end";
// A settings file holds a few dozen short values; anything far larger is not one of ours.
const size_t kMaxFileSize = 4 * 1024 * 1024;

std::string Escape(const std::wstring& units) {
    std::string out;
    for (wchar_t w : units) {
        unsigned int u = static_cast<unsigned int>(w) & 0xFFFF;
        if (u >= 0x20 && u < 0x7F && u != '\\' && u != '=' && u != '[' && u != ']') {
            out += static_cast<char>(u);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", u);
            out += buf;
        }
    }
    return out;
}

bool Unescape(const std::string& text, std::wstring& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
                return false;
            }
            out += static_cast<wchar_t>(c);
            continue;
        }
        if (i + 6 > text.size() || text[i + 1] != 'u') {
            return false;
        }
        unsigned int u = 0;
        for (size_t k = i + 2; k < i + 6; ++k) {
            char h = text[k];
            int v = h >= '0' && h <= '9' ? h - '0' : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
            if (v < 0) {
                return false;
            }
            u = u * 16 + static_cast<unsigned int>(v);
        }
        out += static_cast<wchar_t>(u);
        i += 5;
    }
    return true;
}

std::string Hex(const unsigned char* p, size_t n) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += kDigits[p[i] >> 4];
        out += kDigits[p[i] & 15];
    }
    return out;
}

bool Unhex(const std::string& text, std::vector<unsigned char>& out) {
    if (text.size() % 2 != 0) {
        return false;
    }
    out.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        auto value = [](char h) {
            return h >= '0' && h <= '9' ? h - '0' : h >= 'A' && h <= 'F' ? h - 'A' + 10 : -1;
        };
        int hi = value(text[i]), lo = value(text[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        out.push_back(static_cast<unsigned char>(hi * 16 + lo));
    }
    return true;
}

std::string Encode(const Registry::Value& v) {
    char buf[64];
    switch (v.index()) {
        case 0:
            return "i:" + std::to_string(std::get<int>(v));
        case 1:
            return "d:" + std::string(buf, std::to_chars(buf, buf + sizeof buf, std::get<double>(v)).ptr);
        case 2:
            return "f:" + std::string(buf, std::to_chars(buf, buf + sizeof buf, std::get<float>(v)).ptr);
        case 3:
            return "s:" + Escape(std::get<String>(v).Units());
        case 4:
            return "u:" + Hex(std::get<Osp::Base::UuId>(v).bytes, 16);
        default: {
            const auto& b = std::get<Osp::Base::ByteBuffer>(v);
            return "b:" + Hex(b.GetPointer(), static_cast<size_t>(b.GetLimit()));
        }
    }
}

// Numbers are written and read without the host locale, so that a file reads the same everywhere.
template <typename T>
bool ParseNumber(const std::string& text, T& out) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool Decode(const std::string& text, Registry::Value& out) {
    if (text.size() < 2 || text[1] != ':') {
        return false;
    }
    std::string body = text.substr(2);
    switch (text[0]) {
        case 'i': {
            if (body.empty())
                return false;
            char* end = nullptr;
            errno = 0;
            long long n = std::strtoll(body.c_str(), &end, 10);
            if (end != body.c_str() + body.size() || errno != 0 || n < INT32_MIN || n > INT32_MAX)
                return false;
            out = static_cast<int>(n);
            return true;
        }
        case 'd': {
            double d;
            if (!ParseNumber(body, d))
                return false;
            out = d;
            return true;
        }
        case 'f': {
            float f;
            if (!ParseNumber(body, f))
                return false;
            out = f;
            return true;
        }
        case 's': {
            std::wstring units;
            if (!Unescape(body, units))
                return false;
            out = String(units);
            return true;
        }
        case 'u': {
            std::vector<unsigned char> bytes;
            if (!Unhex(body, bytes) || bytes.size() != 16)
                return false;
            Osp::Base::UuId id;
            std::memcpy(id.bytes, bytes.data(), 16);
            out = id;
            return true;
        }
        case 'b': {
            std::vector<unsigned char> bytes;
            if (!Unhex(body, bytes))
                return false;
            Osp::Base::ByteBuffer b;
            b.Construct(bytes.data(), static_cast<int>(bytes.size()));
            out = std::move(b);
            return true;
        }
        default:
            return false;
    }
}

// Parses the whole text; false when any line is not of the format or the end mark is missing.
bool Parse(const std::string& text, std::vector<std::pair<String, Registry::Section>>& sections) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kMagic) {
        return false;
    }
    while (std::getline(in, line)) {
        if (line == kEnd) {
            return !std::getline(in, line);  // nothing may follow the end mark
        }
        std::wstring name;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            if (!Unescape(line.substr(1, line.size() - 2), name))
                return false;
            for (const auto& s : sections) {
                if (s.first.Units() == name)
                    return false;
            }
            sections.push_back({String(name), {}});
            continue;
        }
        size_t eq = line.find('=');
        Registry::Value value;
        if (sections.empty() || eq == std::string::npos || !Unescape(line.substr(0, eq), name) ||
            !Decode(line.substr(eq + 1), value)) {
            return false;
        }
        sections.back().second.push_back({String(name), std::move(value)});
    }
    return false;
}

result ReadWholeFile(const std::string& hostPath, std::string& text) {
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return host::ResultFromErrno(errno);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<size_t>(st.st_size) > kMaxFileSize) {
        ::close(fd);
        return Osp::Base::E_INVALID_FORMAT;
    }
    text.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < text.size()) {
        ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    return E_SUCCESS;
}

result WriteAtomically(const std::string& hostPath, const std::string& text) {
    std::string temp = hostPath + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return host::ResultFromErrno(errno);
    }
    result r = ::fchmod(fd, 0600) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
    size_t done = 0;
    while (r == E_SUCCESS && done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            r = host::ResultFromErrno(errno);
        else
            done += static_cast<size_t>(n);
    }
    if (r == E_SUCCESS && ::fsync(fd) != 0) {
        r = host::ResultFromErrno(errno);
    }
    ::close(fd);
    if (r == E_SUCCESS && ::rename(temp.c_str(), hostPath.c_str()) != 0) {
        r = host::ResultFromErrno(errno);
    }
    if (r != E_SUCCESS) {
        ::unlink(temp.c_str());
        return r;
    }
    std::string dir = hostPath.substr(0, hostPath.rfind('/'));
    int dirFd = ::open(dir.empty() ? "/" : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return E_SUCCESS;
}

}  // namespace

result Registry::Construct(const String& path, bool createIfNotExist) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    std::string text;
    std::vector<std::pair<String, Section>> sections;
    r = ReadWholeFile(hostPath, text);
    if (r == Osp::Base::E_FILE_NOT_FOUND) {
        if (!createIfNotExist) {
            return r;
        }
    } else if (r != E_SUCCESS) {
        return r;
    } else if (!Parse(text, sections)) {
        return Osp::Base::E_INVALID_FORMAT;
    }
    path_ = path;
    sections_ = std::move(sections);
    constructed_ = true;
    dirty_ = false;
    return E_SUCCESS;
}

result Registry::AddSection(const String& section) {
    for (const auto& s : sections_) {
        if (s.first == section) {
            return Osp::Base::E_FILE_ALREADY_EXIST;
        }
    }
    sections_.push_back({section, {}});
    dirty_ = true;
    return E_SUCCESS;
}

result Registry::RemoveSection(const String& section) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it) {
        if (it->first == section) {
            sections_.erase(it);
            dirty_ = true;
            return E_SUCCESS;
        }
    }
    return Osp::Base::E_SECTION_NOT_FOUND;
}

Osp::Base::Collection::ArrayList* Registry::GetAllSectionNamesN() const {
    auto* list = new Osp::Base::Collection::ArrayList;
    list->Construct(static_cast<int>(sections_.size()));
    for (const auto& s : sections_) {
        list->Add(new String(s.first));
    }
    return list;
}

const Registry::Value* Registry::Find(const String& section, const String& key, result& r) const {
    for (const auto& s : sections_) {
        if (s.first == section) {
            for (const auto& kv : s.second) {
                if (kv.first == key) {
                    r = E_SUCCESS;
                    return &kv.second;
                }
            }
            r = Osp::Base::E_KEY_NOT_FOUND;
            return nullptr;
        }
    }
    r = Osp::Base::E_SECTION_NOT_FOUND;
    return nullptr;
}

template <typename T>
result Registry::Get(const String& section, const String& key, T& value) const {
    result r;
    const Value* v = Find(section, key, r);
    if (v == nullptr) {
        return r;
    }
    if (!std::holds_alternative<T>(*v)) {
        return Osp::Base::E_INVALID_FORMAT;
    }
    value = std::get<T>(*v);
    return E_SUCCESS;
}

result Registry::GetValue(const String& s, const String& k, int& v) const {
    return Get(s, k, v);
}
result Registry::GetValue(const String& s, const String& k, double& v) const {
    return Get(s, k, v);
}
result Registry::GetValue(const String& s, const String& k, float& v) const {
    return Get(s, k, v);
}
result Registry::GetValue(const String& s, const String& k, String& v) const {
    return Get(s, k, v);
}
result Registry::GetValue(const String& s, const String& k, Osp::Base::UuId& v) const {
    return Get(s, k, v);
}
result Registry::GetValue(const String& s, const String& k, Osp::Base::ByteBuffer& v) const {
    return Get(s, k, v);
}

result Registry::Put(const String& section, const String& key, Value value, Mode mode) {
    for (auto& s : sections_) {
        if (s.first != section) {
            continue;
        }
        for (auto& kv : s.second) {
            if (kv.first == key) {
                if (mode == Mode::kAdd) {
                    return Osp::Base::E_FILE_ALREADY_EXIST;
                }
                kv.second = std::move(value);
                dirty_ = true;
                return E_SUCCESS;
            }
        }
        if (mode == Mode::kSet) {
            return Osp::Base::E_KEY_NOT_FOUND;
        }
        s.second.push_back({key, std::move(value)});
        dirty_ = true;
        return E_SUCCESS;
    }
    return Osp::Base::E_SECTION_NOT_FOUND;
}

result Registry::RemoveValue(const String& section, const String& key) {
    for (auto& s : sections_) {
        if (s.first != section) {
            continue;
        }
        for (auto it = s.second.begin(); it != s.second.end(); ++it) {
            if (it->first == key) {
                s.second.erase(it);
                dirty_ = true;
                return E_SUCCESS;
            }
        }
        return Osp::Base::E_KEY_NOT_FOUND;
    }
    return Osp::Base::E_SECTION_NOT_FOUND;
}

result Registry::Flush() {
    if (!constructed_) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (!dirty_) {
        return E_SUCCESS;
    }
    std::string text = std::string(kMagic) + "\n";
    for (const auto& s : sections_) {
        text += "[" + Escape(s.first.Units()) + "]\n";
        for (const auto& kv : s.second) {
            text += Escape(kv.first.Units()) + "=" + Encode(kv.second) + "\n";
        }
    }
    text += std::string(kEnd) + "\n";
    std::string hostPath;
    result r = host::MapPath(path_.Units(), hostPath);
    if (r == E_SUCCESS) {
        r = WriteAtomically(hostPath, text);
    }
    if (r == E_SUCCESS) {
        dirty_ = false;
    }
    return r;
}

}  // namespace Osp::Io
