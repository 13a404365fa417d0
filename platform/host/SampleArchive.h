#pragma once
// Small, valid archives made in memory for the sample phone, without any compression: a ZIP archive
// whose items are stored, and a gzip-compressed tar archive whose deflate stream is made of stored blocks.
// Every reader of these formats takes them.

#include <string>
#include <vector>

namespace host {

struct SampleItem {
    std::string path;  // with '/' separators; a path ending in '/' is a folder
    std::string data;
};

std::string MakeStoredZip(const std::vector<SampleItem>& items);
std::string MakeStoredTarGz(const std::vector<SampleItem>& items);

}  // namespace host
