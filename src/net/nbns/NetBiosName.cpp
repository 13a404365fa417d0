#include "net/nbns/NetBiosName.h"

#include "app/StringUtils.h"
#include "net/WireReader.h"

namespace {

const unsigned int kMaxLabelLength = 63;
const unsigned int kMaxEncodedName = 255;

std::string UpperCased(const std::string& text) {
    std::string upper = text;
    MakeUpper(&upper);
    return upper;
}

}  // namespace

void L1Encode(unsigned char byte, char* twoLetters) {
    twoLetters[0] = static_cast<char>('A' + (byte >> 4));
    twoLetters[1] = static_cast<char>('A' + (byte & 0x0F));
}

bool L1Decode(const char* twoLetters, unsigned char* byte) {
    unsigned char high = static_cast<unsigned char>(twoLetters[0] - 'A');
    unsigned char low = static_cast<unsigned char>(twoLetters[1] - 'A');
    if (high > 15 || low > 15) {
        return false;
    }
    *byte = static_cast<unsigned char>((high << 4) | low);
    return true;
}

std::string ToL1NetBiosName(const std::string& name, unsigned char suffix) {
    std::string upper = UpperCased(name.substr(0, kNetBiosNameChars));
    std::string letters;
    char pair[2];
    for (char c : upper) {
        if (c == '\0') {
            break;
        }
        L1Encode(static_cast<unsigned char>(c), pair);
        letters.append(pair, 2);
    }
    const char* padding = !name.empty() && name[0] == '*' ? "AA" : "CA";
    while (letters.size() < kL1NameLength - 2) {
        letters += padding;
    }
    L1Encode(suffix, pair);
    letters.append(pair, 2);
    return letters;
}

std::string ToL2NetBiosName(const std::string& name, const std::string& scope, unsigned char suffix) {
    std::string encoded(1, static_cast<char>(kL1NameLength));
    encoded += ToL1NetBiosName(name, suffix);
    std::string rest = UpperCased(scope);
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t dot = rest.find('.', start);
        std::size_t end = dot == std::string::npos ? rest.size() : dot;
        std::size_t labelLength = end - start;
        if (labelLength > kMaxLabelLength) {
            return std::string();
        }
        if (labelLength > 0) {
            encoded += static_cast<char>(labelLength);
            encoded.append(rest, start, labelLength);
        }
        start = end + 1;
    }
    encoded += '\0';
    if (encoded.size() > kMaxEncodedName) {
        return std::string();
    }
    return encoded;
}

const unsigned char* ParseL2Name(const unsigned char* p, unsigned int length, std::string* name,
                                 std::string* scope, unsigned char* suffix) {
    WireReader reader(p, length);
    if (reader.ReadUbyte() != kL1NameLength) {
        return nullptr;
    }
    const unsigned char* letters = reader.ReadBytes(kL1NameLength);
    if (!letters) {
        return nullptr;
    }
    unsigned char decoded[kL1NameLength / 2];
    for (unsigned int i = 0; i < kL1NameLength / 2; ++i) {
        if (!L1Decode(reinterpret_cast<const char*>(letters + 2 * i), &decoded[i])) {
            return nullptr;
        }
    }
    std::string labels;
    for (;;) {
        unsigned char labelLength = reader.ReadUbyte();
        if (reader.Failed() || labelLength > kMaxLabelLength) {
            return nullptr;
        }
        if (labelLength == 0) {
            break;
        }
        const unsigned char* label = reader.ReadBytes(labelLength);
        if (!label) {
            return nullptr;
        }
        if (!labels.empty()) {
            labels += '.';
        }
        labels.append(reinterpret_cast<const char*>(label), labelLength);
    }
    if (name) {
        std::string text(reinterpret_cast<const char*>(decoded), kNetBiosNameChars);
        text.erase(text.find_last_not_of(' ') + 1);
        *name = text;
    }
    if (scope) {
        *scope = labels;
    }
    if (suffix) {
        *suffix = decoded[kNetBiosNameChars];
    }
    return p + reader.Offset();
}
