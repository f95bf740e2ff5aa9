// Draws the program's pictures and icons into a folder (normally resources/):
//
//   about.jpg          400 x 400, the about box's picture: a starfield with a
//                      nebula, the emblem, a small moon and the pale horizon
//                      of an ice planet on which the box's dark texts sit
//   splash.jpg         150 x 150, the emblem on a light plate
//   vantrel-N.png      the emblem alone, N x N, for the window and the desktop
//
// The JPEG files are baseline JFIF, 8 bits per sample, three colour
// components, written with libjpeg's compressor at quality 90. Everything is
// drawn by code from fixed numbers, so a run gives the same pictures again.
//
//   make_pictures OUTPUT_DIR
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// ---- Deterministic randomness and noise --------------------------------

class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next()
    {
        // xorshift32
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double uniform() { return (next() >> 8) / double(1u << 24); }

private:
    std::uint32_t state_;
};

double latticeValue(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / double(0xffffff);
}

double smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

double valueNoise(double x, double y, std::uint32_t seed)
{
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const double fx = smooth(x - x0);
    const double fy = smooth(y - y0);
    const double a = latticeValue(x0, y0, seed);
    const double b = latticeValue(x0 + 1, y0, seed);
    const double c = latticeValue(x0, y0 + 1, seed);
    const double d = latticeValue(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// Fractal noise in 0..1.
double fractalNoise(double x, double y, std::uint32_t seed, int octaves)
{
    double sum = 0.0;
    double amplitude = 0.5;
    double total = 0.0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + std::uint32_t(i) * 101u);
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

double smoothstep(double edge0, double edge1, double v)
{
    return smooth(clamp01((v - edge0) / (edge1 - edge0)));
}

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb rgb(int hex)
{
    return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0};
}

QRgb toQRgb(Rgb c)
{
    const auto channel = [](double v) { return int(std::lround(clamp01(v) * 255.0)); };
    return qRgb(channel(c.r), channel(c.g), channel(c.b));
}

// ---- The emblem --------------------------------------------------------

// A four-pointed star centred at (cx, cy).
QPainterPath starPath(double cx, double cy, double outer, double inner)
{
    QPainterPath path;
    for (int i = 0; i < 8; ++i) {
        const double angle = M_PI / 4.0 * i - M_PI / 2.0;
        const double radius = (i % 2 == 0) ? outer : inner;
        const QPointF point(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

// One of the two swept wings that form the emblem's V; `side` is -1 for the
// left wing and +1 for the right one. Coordinates are in a unit square.
QPainterPath wingPath(double side)
{
    const auto at = [side](double x, double y) { return QPointF(0.5 + side * (x - 0.5), y); };
    QPainterPath path;
    path.moveTo(at(0.5, 0.80));
    path.lineTo(at(0.135, 0.285));
    path.quadTo(at(0.215, 0.300), at(0.285, 0.335));
    path.lineTo(at(0.5, 0.640));
    path.closeSubpath();
    return path;
}

// The emblem: a navy roundel with a gold rim, a V of two gold wings and a
// white star between them. Drawn into `box`, with a transparent outside.
void drawEmblem(QPainter& p, const QRectF& box)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width(), box.height());
    p.setRenderHint(QPainter::Antialiasing);
    const double px = 1.0 / box.width();  // one pixel in unit coordinates

    // Roundel with rim.
    QRadialGradient disc(QPointF(0.42, 0.36), 0.62);
    disc.setColorAt(0.0, QColor(0x1d, 0x34, 0x6e));
    disc.setColorAt(0.7, QColor(0x0b, 0x17, 0x3a));
    disc.setColorAt(1.0, QColor(0x05, 0x0a, 0x1e));
    QLinearGradient rim(QPointF(0.2, 0.05), QPointF(0.8, 0.95));
    rim.setColorAt(0.0, QColor(0xff, 0xe3, 0x9a));
    rim.setColorAt(0.5, QColor(0xd2, 0x9a, 0x3c));
    rim.setColorAt(1.0, QColor(0x8a, 0x5a, 0x18));
    const double rimWidth = std::max(0.045, 1.2 * px);
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(QPointF(0.5, 0.5), 0.5 - 0.5 * px, 0.5 - 0.5 * px);
    p.setBrush(disc);
    p.drawEllipse(QPointF(0.5, 0.5), 0.5 - rimWidth, 0.5 - rimWidth);

    // Fine inner ring and a few specks of stars, only where there is room.
    if (box.width() >= 48) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0xa8, 0xb8, 0xd8, 150), std::max(0.008, 0.8 * px)));
        p.drawEllipse(QPointF(0.5, 0.5), 0.41, 0.41);
        Random random(7);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 26; ++i) {
            const double angle = random.uniform() * 2.0 * M_PI;
            const double radius = 0.12 + random.uniform() * 0.27;
            const double x = 0.5 + radius * std::cos(angle);
            const double y = 0.5 + radius * std::sin(angle);
            if (y > 0.62 && std::abs(x - 0.5) < 0.25)
                continue;  // keep the space under the wings clear
            const int alpha = 90 + int(random.uniform() * 150);
            p.setBrush(QColor(0xdd, 0xe6, 0xff, alpha));
            p.drawEllipse(QPointF(x, y), 0.006 + random.uniform() * 0.006, 0.006 + random.uniform() * 0.006);
        }
    }

    // The wings.
    QLinearGradient gold(QPointF(0.0, 0.28), QPointF(0.0, 0.80));
    gold.setColorAt(0.0, QColor(0xff, 0xe6, 0x9e));
    gold.setColorAt(0.55, QColor(0xf0, 0xa8, 0x40));
    gold.setColorAt(1.0, QColor(0xc0, 0x62, 0x1c));
    for (double side : {-1.0, 1.0}) {
        const QPainterPath wing = wingPath(side);
        p.setBrush(gold);
        p.setPen(QPen(QColor(0x5a, 0x2c, 0x08), std::max(0.010, 0.7 * px)));
        p.drawPath(wing);
        // A light edge along the wing's leading side.
        if (box.width() >= 32) {
            const auto at = [side](double x, double y) { return QPointF(0.5 + side * (x - 0.5), y); };
            p.setPen(QPen(QColor(0xff, 0xf6, 0xd8, 200), std::max(0.010, 0.8 * px), Qt::SolidLine, Qt::RoundCap));
            p.drawLine(at(0.165, 0.300), at(0.49, 0.765));
        }
    }

    // The star with its glow.
    const QPointF starCentre(0.5, 0.35);
    QRadialGradient glow(starCentre, 0.17);
    glow.setColorAt(0.0, QColor(0xc8, 0xdc, 0xff, 210));
    glow.setColorAt(0.35, QColor(0x7a, 0xa6, 0xff, 90));
    glow.setColorAt(1.0, QColor(0x40, 0x70, 0xff, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(starCentre, 0.17, 0.17);
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawPath(starPath(starCentre.x(), starCentre.y(), 0.14, std::max(0.028, 1.0 * px)));
    p.restore();
}

// ---- The about picture -------------------------------------------------

constexpr double kPlanetX = 200.0;
constexpr double kPlanetY = 1130.0;
constexpr double kPlanetRadius = 860.0;

// Space: a dark gradient with a nebula that stays faint behind the title.
void paintSpace(QImage& image)
{
    const Rgb deepTop = rgb(0x02030b);
    const Rgb deepBottom = rgb(0x0b1430);
    const Rgb violet = rgb(0xa8459e);
    const Rgb blue = rgb(0x3a6ad8);
    const Rgb teal = rgb(0x2bb2bc);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double u = x / 400.0;
            const double v = y / 400.0;
            Rgb c = mix(deepTop, deepBottom, v);
            // A band of gas rising from the left to the upper right, warped by noise.
            const double warp = fractalNoise(u * 3.0, v * 3.0, 11, 4) - 0.5;
            const double band = std::abs((v - 0.58) + 0.5 * u + 0.35 * warp);
            const double density = fractalNoise(u * 5.0 + 3.0, v * 5.0, 23, 6);
            double amount = std::exp(-band * band / 0.03) * smoothstep(0.3, 0.68, density);
            // Keep the title's strip dark enough for its silver letters.
            const double title =
                smoothstep(0.0, 30.0, 30.0 - std::max({55.0 - x, x - 345.0, 140.0 - y, y - 192.0, 0.0}));
            amount *= 1.0 - 0.65 * title;
            const double hue = smoothstep(0.3, 0.7, fractalNoise(u * 3.0, v * 3.0 + 7.0, 41, 3));
            const Rgb gas = hue < 0.5 ? mix(violet, blue, hue * 2.0) : mix(blue, teal, (hue - 0.5) * 2.0);
            c = mix(c, gas, clamp01(amount * 0.9));
            // A faint glow of the whole nebula.
            c = mix(c, mix(blue, violet, 0.4), 0.12 * std::exp(-band * band / 0.06));
            line[x] = toQRgb(c);
        }
    }
}

void paintStars(QImage& image)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    Random random(2000);
    for (int i = 0; i < 650; ++i) {
        const double x = random.uniform() * 400.0;
        const double y = random.uniform() * 300.0;
        const double brightness = std::pow(random.uniform(), 2.2);
        const double tint = random.uniform();
        const QColor colour = tint < 0.2   ? QColor(255, 214, 170)
                              : tint < 0.5 ? QColor(200, 220, 255)
                                           : QColor(255, 255, 255);
        const double radius = 0.45 + brightness * 0.9;
        QColor c = colour;
        c.setAlphaF(0.25 + 0.75 * brightness);
        p.setBrush(c);
        p.drawEllipse(QPointF(x, y), radius, radius);
    }
    // A few bright stars with glow and spikes.
    const std::array<QPointF, 6> bright = {QPointF(36, 42),  QPointF(352, 28),  QPointF(300, 118),
                                           QPointF(82, 214), QPointF(380, 178), QPointF(22, 128)};
    for (const QPointF& centre : bright) {
        QRadialGradient glow(centre, 9.0);
        glow.setColorAt(0.0, QColor(255, 255, 255, 230));
        glow.setColorAt(0.25, QColor(190, 210, 255, 90));
        glow.setColorAt(1.0, QColor(120, 160, 255, 0));
        p.setBrush(glow);
        p.drawEllipse(centre, 9.0, 9.0);
        QLinearGradient spike(centre - QPointF(12, 0), centre + QPointF(12, 0));
        spike.setColorAt(0.0, QColor(200, 220, 255, 0));
        spike.setColorAt(0.5, QColor(235, 242, 255, 200));
        spike.setColorAt(1.0, QColor(200, 220, 255, 0));
        p.setBrush(spike);
        p.drawRect(QRectF(centre.x() - 12, centre.y() - 0.5, 24, 1.0));
        QLinearGradient spikeV(centre - QPointF(0, 12), centre + QPointF(0, 12));
        spikeV.setStops(spike.stops());
        p.setBrush(spikeV);
        p.drawRect(QRectF(centre.x() - 0.5, centre.y() - 12, 1.0, 24));
    }
}

// A small moon, lit from the lower right by the sun rising there.
void paintMoon(QImage& image)
{
    const double cx = 64.0, cy = 104.0, r = 17.0;
    for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x) {
            // 4 x 4 samples per pixel for a smooth edge.
            double cover = 0.0;
            Rgb sum{0, 0, 0};
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const double dx = (x + (sx + 0.5) / 4.0 - cx) / r;
                    const double dy = (y + (sy + 0.5) / 4.0 - cy) / r;
                    const double d2 = dx * dx + dy * dy;
                    if (d2 > 1.0)
                        continue;
                    const double dz = std::sqrt(1.0 - d2);
                    const double light = std::max(0.0, 0.84 * dx + 0.52 * dy + 0.12 * dz);
                    const double craters = fractalNoise(dx * 3.0 + 5.0, dy * 3.0, 77, 4);
                    const Rgb surface = mix(rgb(0x6f6a66), rgb(0xcfc8bd), craters);
                    const double shade = 0.04 + 0.96 * std::pow(light, 0.8);
                    sum = {sum.r + surface.r * shade, sum.g + surface.g * shade, sum.b + surface.b * shade};
                    cover += 1.0;
                }
            }
            if (cover == 0.0)
                continue;
            const Rgb moon{sum.r / cover, sum.g / cover, sum.b / cover};
            const QColor old(line[x]);
            const Rgb under{old.redF(), old.greenF(), old.blueF()};
            line[x] = toQRgb(mix(under, moon, cover / 16.0));
        }
    }
}

// The planet's horizon across the lower part: its pale ice surface, a thin
// atmosphere, and the sun rising behind it on the right.
void paintPlanet(QImage& image)
{
    const Rgb iceLight = rgb(0xeef2f6);
    const Rgb iceBlue = rgb(0xcfdae6);
    const Rgb iceShadow = rgb(0xa9b8c9);
    const Rgb air = rgb(0x7fb2ff);
    const Rgb sun = rgb(0xfff1d6);
    const double sunX = 318.0, sunY = 258.0;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QColor old(line[x]);
            Rgb c{old.redF(), old.greenF(), old.blueF()};
            const double distance = std::hypot(x + 0.5 - kPlanetX, y + 0.5 - kPlanetY) - kPlanetRadius;
            // The atmosphere above the horizon, brighter towards the sun.
            const double toSun = std::hypot(x - sunX, y - sunY);
            const double sunSide = 0.55 + 0.45 * std::exp(-toSun / 120.0);
            if (distance < 28.0 && distance > -1.0)
                c = mix(c, air, clamp01(std::exp(-std::max(distance, 0.0) / 8.0) * 0.75 * sunSide));
            if (distance <= 0.5) {
                // Surface: latitude bands and drifts of cloud, from the
                // horizon down, a little bluer away from the sun.
                const double depth = -distance;
                const double bands = fractalNoise(x / 140.0, depth / 18.0, 91, 5);
                const double drifts = fractalNoise(x / 45.0 + 9.0, depth / 9.0, 93, 4);
                Rgb surface = mix(iceBlue, iceLight, smoothstep(0.3, 0.75, bands));
                surface = mix(surface, rgb(0xffffff), 0.35 * smoothstep(0.55, 0.8, drifts));
                const double shadow = smoothstep(420.0, 60.0, x - 0.5 * depth) * 0.35;
                surface = mix(surface, iceShadow, shadow);
                // Limb: a blue haze right at the horizon.
                surface = mix(surface, air, 0.45 * std::exp(-depth / 5.0));
                const double edge = clamp01(0.5 - distance);  // anti-aliased horizon
                c = mix(c, surface, edge);
            }
            // The rising sun's glow.
            const double glow = std::exp(-toSun / 22.0) + 0.25 * std::exp(-toSun / 70.0);
            c = mix(c, sun, clamp01(glow) * (distance < 0 ? 0.6 : 1.0));
            line[x] = toQRgb(c);
        }
    }
}

QImage drawAboutPicture()
{
    QImage image(400, 400, QImage::Format_RGB32);
    paintSpace(image);
    paintStars(image);
    paintMoon(image);
    paintPlanet(image);
    QPainter p(&image);
    // A soft halo behind the emblem, then the emblem over the title.
    QRadialGradient halo(QPointF(200, 72), 78);
    halo.setColorAt(0.0, QColor(90, 130, 230, 70));
    halo.setColorAt(1.0, QColor(90, 130, 230, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(200, 72), 78, 78);
    drawEmblem(p, QRectF(142, 14, 116, 116));
    return image;
}

// ---- The splash picture ------------------------------------------------

QImage drawSplashPicture()
{
    QImage image(150, 150, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A light steel plate with a fine frame.
    QLinearGradient plate(QPointF(0, 0), QPointF(0, 150));
    plate.setColorAt(0.0, QColor(0xf3, 0xf6, 0xfa));
    plate.setColorAt(1.0, QColor(0xd0, 0xd9, 0xe4));
    p.fillRect(image.rect(), plate);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        // Faint rings spreading out from the emblem.
        const double radius = 64.0 + 9.0 * i;
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x8a, 0x9c, 0xb4, 60 - 18 * i), 1.0));
        p.drawEllipse(QPointF(75, 64), radius, radius);
    }
    p.setPen(QPen(QColor(0x6c, 0x7c, 0x92), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 149, 149));
    drawEmblem(p, QRectF(16, 5, 118, 118));
    return image;
}

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    drawEmblem(p, QRectF(0, 0, size, size));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ---- Output ------------------------------------------------------------

bool writeJpeg(const QImage& picture, const QString& path)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB888);
    std::FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file) {
        std::perror(path.toLocal8Bit().constData());
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);  // errors here end the tool
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);  // JFIF header, YCbCr, baseline
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.optimize_coding = TRUE;  // smaller Huffman tables; still baseline
    cinfo.density_unit = 1;        // dots per inch
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<JSAMPLE*>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool closed = std::fclose(file) == 0;
    std::printf("wrote %s\n", path.toLocal8Bit().constData());
    return closed;
}

bool writePng(const QImage& image, const QString& path)
{
    const bool saved = image.save(path, "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures OUTPUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = writeJpeg(drawAboutPicture(), dir + QStringLiteral("/about.jpg"));
    ok = writeJpeg(drawSplashPicture(), dir + QStringLiteral("/splash.jpg")) && ok;
    for (int size : kIconSizes)
        ok = writePng(drawIcon(size), dir + QStringLiteral("/vantrel-%1.png").arg(size)) && ok;
    return ok ? 0 : 1;
}
