#include "host/SamplePhone.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <fstream>
#include <string>

#include "host/HostPaths.h"
#include "host/SampleArchive.h"

namespace host {
namespace {

void MakeDirs(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    }
    ::mkdir(path.c_str(), 0755);
}

// A root is new when it is missing or an empty folder; anything in it is the user's and stays as it is.
bool IsNewRoot(const std::string& root) {
    DIR* dir = ::opendir(root.c_str());
    if (dir == nullptr) {
        struct stat st;
        return ::stat(root.c_str(), &st) != 0;
    }
    bool empty = true;
    while (struct dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(dir);
    return empty;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    size_t slash = path.rfind('/');
    MakeDirs(path.substr(0, slash));
    std::ofstream(path, std::ios::binary) << bytes;
}

// A picture of a few coloured bands and a circle, so that a viewer shows something recognisable.
void WritePicture(const std::string& path, const char* format, QColor top, QColor bottom) {
    QImage image(320, 240, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int y = 0; y < image.height(); ++y) {
        double t = static_cast<double>(y) / (image.height() - 1);
        painter.setPen(QColor::fromRgbF(top.redF() * (1 - t) + bottom.redF() * t,
                                        top.greenF() * (1 - t) + bottom.greenF() * t,
                                        top.blueF() * (1 - t) + bottom.blueF() * t));
        painter.drawLine(0, y, image.width() - 1, y);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 236, 160));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(220, 80), 40, 40);
    painter.end();
    MakeDirs(path.substr(0, path.rfind('/')));
    image.save(QString::fromStdString(path), format);
}

// One second of a 440 Hz tone as 8 kHz 16-bit mono PCM.
std::string ToneWav() {
    const int rate = 8000;
    std::string samples;
    for (int i = 0; i < rate; ++i) {
        auto v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / rate));
        samples += static_cast<char>(v & 0xFF);
        samples += static_cast<char>((v >> 8) & 0xFF);
    }
    auto le32 = [](uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    };
    auto le16 = [](uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
    return "RIFF" + le32(36 + samples.size()) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(rate) +
           le32(rate * 2) + le16(2) + le16(16) + "data" + le32(samples.size()) + samples;
}

std::string LongLog() {
    std::string log;
    for (int i = 0; i < 5000; ++i) {
        char line[160];
        std::snprintf(
            line, sizeof line,
            "2024-06-01 12:%02d:%02d.%03d [worker-%d] INFO request %05d served in %d ms, %d bytes\n",
            (i / 60) % 60, i % 60, (i * 37) % 1000, i % 4, i, 3 + (i * 7) % 90, 512 + (i * 131) % 40000);
        log += line;
    }
    return log;
}

void LayOutPhoneMemory(const std::string& media) {
    WritePicture(media + "/Pictures/Sunset.png", "PNG", QColor(255, 140, 60), QColor(80, 30, 120));
    WritePicture(media + "/Pictures/Lake.jpg", "JPEG", QColor(120, 190, 255), QColor(20, 80, 60));
    WriteFile(media + "/Sounds/Tone 440 Hz.wav", ToneWav());
    MakeDirs(media + "/Videos");
    WriteFile(media + "/Others/Readme.txt",
              "This is the phone memory of the sample phone.\n"
              "Pictures, sounds and other files below are made when the program first starts.\n");
    WriteFile(
        media + "/Others/Poem (Cyrillic, UTF-8).txt",
        "\xD0\x9C\xD0\xBE\xD1\x80\xD0\xBE\xD0\xB7 \xD0\xB8 \xD1\x81\xD0\xBE\xD0\xBB\xD0\xBD\xD1\x86\xD0\xB5; "
        "\xD0\xB4\xD0\xB5\xD0\xBD\xD1\x8C \xD1\x87\xD1\x83\xD0\xB4\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8B\xD0\xB9!\n"
        "\xD0\x95\xD1\x89\xD0\xB5 \xD1\x82\xD1\x8B \xD0\xB4\xD1\x80\xD0\xB5\xD0\xBC\xD0\xBB\xD0\xB5\xD1\x88"
        "\xD1\x8C, \xD0\xB4\xD1\x80\xD1\x83\xD0\xB3 \xD0\xBF\xD1\x80\xD0\xB5\xD0\xBB\xD0\xB5\xD1\x81\xD1\x82"
        "\xD0\xBD\xD1\x8B\xD0\xB9 \xE2\x80\x94\n");
    WriteFile(media + "/Others/server.log", LongLog());
    const std::vector<SampleItem> items = {
        {"docs/", ""},
        {"docs/hello.txt", "Hello from inside an archive.\n"},
        {"docs/numbers.csv", "one,two,three\n1,2,3\n"},
        {"notes.txt", "Archives open as read-only folders.\n"},
    };
    WriteFile(media + "/Others/Sample.zip", MakeStoredZip(items));
    WriteFile(media + "/Others/Sample.tar.gz", MakeStoredTarGz(items));
}

}  // namespace

void PrepareDataRoot(const SampleOptions& options) {
    if (GetStorageMode() == StorageMode::kUserStorage) {
        // The user's own files are never added to: only the private folder is made, under the data home.
        MakeDirs(PlaceFolder(Place::kPrivate));
        ::chmod(PlaceFolder(Place::kPrivate).c_str(), 0700);
        return;
    }
    const std::string root = DataRoot();
    if (!IsNewRoot(root)) {
        return;
    }
    MakeDirs(root + "/Home");
    WriteFile(root + "/Home/Private notes.txt", "Only you can read the files of My Private Files.\n");
    LayOutPhoneMemory(root + "/Media");
    if (options.card) {
        MakeDirs(root + "/Storagecard/Media/Videos");
        WriteFile(root + "/Storagecard/Media/Others/On the card.txt", "This file lies on the memory card.\n");
    }
}

}  // namespace host
