#include "Osp/Media/Image.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QtEndian>
#include <memory>

#include "TempPhone.h"
#include "host/GraphicsHost.h"

using namespace Osp::Base;
using namespace Osp::Graphics;
using Osp::Media::Image;

namespace {

QByteArray Encode(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

QByteArray Chunk(const char* type, const QByteArray& data) {
    char length[4];
    qToBigEndian(static_cast<quint32>(data.size()), length);
    QByteArray body = QByteArray(type, 4) + data;
    char crc[4];
    qToBigEndian(Crc32(body), crc);
    return QByteArray(length, 4) + body + QByteArray(crc, 4);
}

// A well-formed PNG whose header claims a picture of the given size, with no pixel data behind it.
QByteArray PngClaiming(quint32 width, quint32 height) {
    char size[8];
    qToBigEndian(width, size);
    qToBigEndian(height, size + 4);
    QByteArray ihdr = QByteArray(size, 8) + QByteArray("\x08\x06\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", QByteArray()) +
           Chunk("IEND", QByteArray());
}

std::unique_ptr<Bitmap> Decode(const wchar_t* path, int width = 0, int height = 0) {
    Image image;
    EXPECT_EQ(image.Construct(), E_SUCCESS);
    return std::unique_ptr<Bitmap>(
        width == 0 ? image.DecodeN(String(path), BITMAP_PIXEL_FORMAT_ARGB8888)
                   : image.DecodeN(String(path), BITMAP_PIXEL_FORMAT_ARGB8888, width, height));
}

}  // namespace

TEST(ImageTest, DecodesAnInstalledIcon) {
    std::unique_ptr<Bitmap> icon = Decode(L"/Res/FolderIc.png");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetWidth(), 48);
    EXPECT_EQ(icon->GetHeight(), 48);
    EXPECT_EQ(icon->GetPixelColorFormat(), BITMAP_PIXEL_FORMAT_ARGB8888);
    EXPECT_EQ(qAlpha(host::ImageOf(*icon).pixel(24, 30)), 255);
}

TEST(ImageTest, DecodesPngAndJpegPixelsAndScalesOnRequest) {
    TempPhone phone;
    QImage picture(8, 6, QImage::Format_ARGB32);
    picture.fill(qRgb(200, 30, 40));
    picture.setPixel(0, 0, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(TempPhone::Write(L"/Media/picture.png", Encode(picture, "PNG")));
    ASSERT_TRUE(TempPhone::Write(L"/Media/photo.jpg", Encode(picture, "JPEG")));

    std::unique_ptr<Bitmap> png = Decode(L"/Media/picture.png");
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(host::ImageOf(*png).pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(host::ImageOf(*png).pixel(7, 5), qRgb(200, 30, 40));

    std::unique_ptr<Bitmap> jpeg = Decode(L"/Media/photo.jpg");
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(jpeg->GetWidth(), 8);
    EXPECT_NEAR(qRed(host::ImageOf(*jpeg).pixel(6, 4)), 200, 24);

    std::unique_ptr<Bitmap> scaled = Decode(L"/Media/picture.png", 16, 3);
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(scaled->GetWidth(), 16);
    EXPECT_EQ(scaled->GetHeight(), 3);
}

TEST(ImageTest, BadFilesGiveNoBitmapAndTheirReason) {
    TempPhone phone;
    QFile icon(TempPhone::HostPath(L"/Res/FolderIc.png"));
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly));
    QByteArray png = icon.readAll();
    ASSERT_TRUE(TempPhone::Write(L"/Media/garbage.png", QByteArray(300, '\x5a')));
    ASSERT_TRUE(TempPhone::Write(L"/Media/empty.png", QByteArray()));
    ASSERT_TRUE(TempPhone::Write(L"/Media/cut.png", png.left(png.size() / 2)));
    ASSERT_TRUE(TempPhone::Write(L"/Media/huge.png", PngClaiming(30000, 30000)));
    ASSERT_TRUE(TempPhone::Write(L"/Media/zero.png", PngClaiming(0, 10)));
    ASSERT_TRUE(TempPhone::Write(L"/Media/picture.svg", "<svg xmlns='http://www.w3.org/2000/svg'/>"));

    struct Case {
        const wchar_t* path;
        int width, height;
        result expected;
    } cases[] = {
        {L"/Media/missing.png", 0, 0, E_FILE_NOT_FOUND},
        {L"/Media", 0, 0, E_FILE_NOT_FOUND},
        {L"/Media/garbage.png", 0, 0, E_UNSUPPORTED_FORMAT},
        {L"/Media/empty.png", 0, 0, E_UNSUPPORTED_FORMAT},
        {L"/Media/picture.svg", 0, 0, E_UNSUPPORTED_FORMAT},
        {L"/Media/cut.png", 0, 0, E_INVALID_FORMAT},
        {L"/Media/zero.png", 0, 0, E_INVALID_FORMAT},
        {L"/Media/huge.png", 0, 0, E_OUT_OF_RANGE},
        {L"/Media/../../etc/passwd", 0, 0, E_ILLEGAL_ACCESS},
        {L"/Res/FolderIc.png", -1, 10, E_INVALID_ARG},
        {L"/Res/FolderIc.png", 5000, 5000, E_INVALID_ARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromWCharArray(c.path).toStdString());
        SetLastResult(E_SUCCESS);
        Image image;
        std::unique_ptr<Bitmap> bitmap(
            c.width == 0 ? image.DecodeN(String(c.path), BITMAP_PIXEL_FORMAT_ARGB8888)
                         : image.DecodeN(String(c.path), BITMAP_PIXEL_FORMAT_ARGB8888, c.width, c.height));
        EXPECT_EQ(bitmap, nullptr);
        EXPECT_EQ(GetLastResult(), c.expected);
    }
}
