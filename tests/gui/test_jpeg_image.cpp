// The JPEG decoder on the program's own pictures and on damaged data, and
// the pictures and icon the program carries.
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "gui/support/JpegImage.h"
#include "gui/support/ProgramResources.h"

namespace vantrel {
namespace {

QByteArray embeddedBytes(const QString& fileName)
{
    programPicture(fileName);  // makes sure the embedded resources are registered
    QFile file(QStringLiteral(":/pictures/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Mean brightness, 0 to 1, of a part of a picture.
double brightness(const QImage& image, const QRect& area)
{
    double sum = 0.0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            sum += qGray(image.pixel(x, y)) / 255.0;
    return sum / (area.width() * area.height());
}

struct Segment {
    std::uint8_t marker;
    QByteArray body;  // without the length field
};

// The marker segments of a JPEG stream up to the start of the first scan.
std::vector<Segment> headerSegments(const QByteArray& data)
{
    std::vector<Segment> segments;
    qsizetype at = 2;
    while (at + 4 <= data.size() && std::uint8_t(data[at]) == 0xff) {
        const std::uint8_t marker = std::uint8_t(data[at + 1]);
        const int length = (std::uint8_t(data[at + 2]) << 8) | std::uint8_t(data[at + 3]);
        segments.push_back({marker, data.mid(at + 4, length - 2)});
        if (marker == 0xda)
            break;
        at += 2 + length;
    }
    return segments;
}

const Segment* findSegment(const std::vector<Segment>& segments, std::uint8_t marker)
{
    for (const Segment& segment : segments)
        if (segment.marker == marker)
            return &segment;
    return nullptr;
}

TEST(JpegImageTest, EmbeddedPicturesDecodeAtTheirOwnSizes)
{
    const QImage about = decodeJpeg(embeddedBytes(QStringLiteral("about.jpg")));
    const QImage splash = decodeJpeg(embeddedBytes(QStringLiteral("splash.jpg")));
    ASSERT_FALSE(about.isNull());
    ASSERT_FALSE(splash.isNull());
    EXPECT_EQ(about.size(), QSize(400, 400));
    EXPECT_EQ(splash.size(), QSize(150, 150));
    EXPECT_EQ(about.format(), QImage::Format_RGB32);
    EXPECT_EQ(programPicture(QStringLiteral("about.jpg")), about);
    EXPECT_TRUE(programPicture(QStringLiteral("missing.jpg")).isNull());

    // Colour comes through: the emblem's gold is far from grey.
    const QColor gold = about.pixelColor(182, 72);
    EXPECT_GT(gold.red() - gold.blue(), 60) << qPrintable(gold.name());
}

// The black and blue texts of the two windows sit on light parts of the
// pictures, the silver title on a dark one.
TEST(JpegImageTest, EmbeddedPicturesKeepTheirTextsReadable)
{
    const QImage about = decodeJpeg(embeddedBytes(QStringLiteral("about.jpg")));
    const QImage splash = decodeJpeg(embeddedBytes(QStringLiteral("splash.jpg")));
    ASSERT_FALSE(about.isNull());
    ASSERT_FALSE(splash.isNull());
    EXPECT_GT(brightness(about, QRect(0, 300, 150, 96)), 0.7);   // credits, build, links
    EXPECT_LT(brightness(about, QRect(55, 140, 291, 52)), 0.3);  // the title
    EXPECT_GT(brightness(splash, QRect(0, 130, 150, 13)), 0.7);  // "Loading..."
}

TEST(JpegImageTest, EmbeddedPicturesAreBaselineJfifWithThreeEightBitComponents)
{
    for (const char* name : {"about.jpg", "splash.jpg"}) {
        SCOPED_TRACE(name);
        const QByteArray data = embeddedBytes(QString::fromLatin1(name));
        ASSERT_GT(data.size(), 4);
        EXPECT_TRUE(data.startsWith("\xff\xd8"));
        EXPECT_TRUE(data.endsWith("\xff\xd9"));
        const std::vector<Segment> segments = headerSegments(data);
        ASSERT_FALSE(segments.empty());
        EXPECT_EQ(segments.front().marker, 0xe0);
        EXPECT_TRUE(segments.front().body.startsWith(QByteArray("JFIF\0", 5)));
        const Segment* frame = findSegment(segments, 0xc0);  // baseline DCT
        ASSERT_NE(frame, nullptr);
        for (std::uint8_t other : {0xc1, 0xc2, 0xc3, 0xc9, 0xca})
            EXPECT_EQ(findSegment(segments, other), nullptr) << int(other);
        EXPECT_EQ(std::uint8_t(frame->body[0]), 8);  // bits per sample
        EXPECT_EQ(std::uint8_t(frame->body[5]), 3);  // colour components
    }
}

TEST(JpegImageTest, DamagedOrForeignDataGivesANullImageWithoutCrashing)
{
    const QByteArray good = embeddedBytes(QStringLiteral("splash.jpg"));
    ASSERT_FALSE(decodeJpeg(good).isNull());

    EXPECT_TRUE(decodeJpeg(QByteArray()).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray("\xff\xd8", 2)).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray("GIF89a this is not a JPEG picture")).isNull());
    EXPECT_TRUE(decodeJpeg(QByteArray(4096, '\xff')).isNull());

    // Cut off anywhere, including just before the end-of-image marker.
    for (qsizetype length = 1; length < good.size(); length += 97)
        EXPECT_TRUE(decodeJpeg(good.left(length)).isNull()) << "cut at " << length;
    EXPECT_TRUE(decodeJpeg(good.left(good.size() - 2)).isNull());

    // A frame header claiming no width, or one too large to be believed.
    const qsizetype frame = good.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(frame, 0);
    QByteArray noWidth = good;
    noWidth[frame + 7] = 0;
    noWidth[frame + 8] = 0;
    EXPECT_TRUE(decodeJpeg(noWidth).isNull());
    QByteArray huge = good;
    huge[frame + 5] = '\x7f';
    huge[frame + 7] = '\x7f';
    EXPECT_TRUE(decodeJpeg(huge).isNull());

    // Garbage in the coded picture data.
    const qsizetype scan = good.indexOf(QByteArray("\xff\xda", 2));
    ASSERT_GT(scan, 0);
    QByteArray garbled = good;
    for (qsizetype at = scan + 40; at < garbled.size() - 2; at += 53)
        garbled[at] = char(0xff);
    EXPECT_TRUE(decodeJpeg(garbled).isNull());
}

TEST(ProgramResourcesTest, IconHasEverySizeAndTheProgramCarriesItsDesktopId)
{
    const QIcon icon = programIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
    EXPECT_EQ(icon.pixmap(QSize(48, 48)).size(), QSize(48, 48));

    applyDesktopIdentity();
    // The installed .desktop file, metainfo and icon carry this name.
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("io.github.vantrel.Vantrel"));
    EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
}

}  // namespace
}  // namespace vantrel
