#include "host/MountTable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace host {
namespace {

// A real table has a few hundred lines even in a busy container; more than this is not a mount table.
constexpr size_t kMaxTableBytes = 4 << 20;
constexpr size_t kMaxEntries = 20000;

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        if (end > start) {
            fields.push_back(line.substr(start, end - start));
        }
        start = end + 1;
    }
    return fields;
}

// The kernel writes a space, tab, newline or backslash in a path as a backslash and three octal digits.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i >= 4) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool ParseNumber(std::string_view text, unsigned int& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned int>(c - '0');
    }
    return true;
}

bool HasOption(std::string_view options, std::string_view option) {
    size_t start = 0;
    while (start <= options.size()) {
        size_t end = options.find(',', start);
        if (end == std::string_view::npos) {
            end = options.size();
        }
        if (options.substr(start, end - start) == option) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// One line: "id parent major:minor root mount-point options [optional fields...] - type source super".
bool ParseLine(std::string_view line, MountEntry& entry) {
    const std::vector<std::string_view> fields = SplitFields(line);
    size_t dash = 6;
    while (dash < fields.size() && fields[dash] != "-") {
        ++dash;
    }
    if (fields.size() < 6 || dash + 4 > fields.size()) {
        return false;
    }
    const std::string_view device = fields[2];
    const size_t colon = device.find(':');
    if (colon == std::string_view::npos || !ParseNumber(device.substr(0, colon), entry.major) ||
        !ParseNumber(device.substr(colon + 1), entry.minor)) {
        return false;
    }
    entry.mountPoint = Unescape(fields[4]);
    if (entry.mountPoint.empty() || entry.mountPoint[0] != '/') {
        return false;
    }
    // Read-only either for this mount alone or for the whole file system.
    entry.readOnly = HasOption(fields[5], "ro") || HasOption(fields[dash + 3], "ro");
    entry.fsType = Unescape(fields[dash + 1]);
    entry.source = Unescape(fields[dash + 2]);
    return true;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    size_t start = 0;
    while (start < text.size() && entries.size() < kMaxEntries) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        MountEntry entry;
        if (ParseLine(text.substr(start, end - start), entry)) {
            entries.push_back(std::move(entry));
        }
        start = end + 1;
    }
    return entries;
}

std::vector<MountEntry> ReadMountTable() {
    const int fd = ::open(MountTablePath(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    std::string text;
    char buffer[16384];
    while (text.size() < kMaxTableBytes) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return ParseMountInfo(text);
}

const char* MountTablePath() {
    return "/proc/self/mountinfo";
}

}  // namespace host
