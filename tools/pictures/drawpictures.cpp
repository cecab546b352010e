// Draws the program's pictures and writes them as PNGs under
// <out>/pictures/. One function per picture.
// Usage: drawpictures <resources directory>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QRegularExpression>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>

namespace {

// The start-up splash: 402 x 273.
QImage drawIntro()
{
    QImage img(402, 273, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 128));
    QPainter p(&img);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 28, QFont::Bold));
    p.drawText(img.rect(), Qt::AlignCenter, QStringLiteral("Mnemodeck"));
    return img;
}

// The About window's sky: 274 x 315, carrying every text of the window (the
// window draws none). Dusk violets and warm golds, kept away from the
// panels' teal and sky blue so the turning scene stands out. The scene turns
// in the band from y 54 to 172; the button sits at y 282.
QImage drawSky(const QString &version)
{
    QImage img(274, 315, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient dusk(0, 0, 0, 315);
    dusk.setColorAt(0.0, QColor(24, 10, 48));
    dusk.setColorAt(0.55, QColor(70, 24, 84));
    dusk.setColorAt(1.0, QColor(150, 60, 70));
    p.fillRect(img.rect(), dusk);

    // Stars from a fixed sequence, so the picture is the same on every run.
    unsigned seed = 4302u;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % unsigned(range));
    };
    for (int i = 0; i < 70; ++i) {
        const int x = next(274), y = next(240);
        const QColor star = next(4) == 0 ? QColor(255, 226, 150) : QColor(236, 230, 246);
        img.setPixel(x, y, star.rgb());
        if (next(6) == 0 && x > 0 && x < 273 && y > 0) {
            img.setPixel(x - 1, y, QColor(150, 120, 160).rgb());
            img.setPixel(x + 1, y, QColor(150, 120, 160).rgb());
            img.setPixel(x, y - 1, QColor(150, 120, 160).rgb());
            img.setPixel(x, y + 1, QColor(150, 120, 160).rgb());
        }
    }

    // A low hill line behind the texts.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 16, 40));
    const QPoint hill[] = {{0, 315}, {0, 250}, {60, 238}, {130, 248}, {200, 232},
                           {274, 244}, {274, 315}};
    p.drawPolygon(hill, 7);

    const QString face = QStringLiteral("Liberation Sans");
    p.setPen(QColor(246, 206, 120));
    p.setFont(QFont(face, 20, QFont::Bold));
    p.drawText(QRect(0, 8, 274, 40), Qt::AlignCenter, QStringLiteral("Mnemodeck"));
    p.setPen(QColor(236, 224, 236));
    p.setFont(QFont(face, 10));
    p.drawText(QRect(0, 180, 274, 20), Qt::AlignCenter,
               QStringLiteral("Version %1").arg(version));
    p.setFont(QFont(face, 9));
    p.drawText(QRect(12, 204, 250, 44), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Two-sided study cards: learn a word, a date or a "
                              "formula one side at a time."));
    return img;
}

// The program's version, read from the project line of the top-level
// CMakeLists.txt beside <resources>, so the picture never states a stale one.
QString projectVersion(const QDir &resources)
{
    QFile file(resources.filePath(QStringLiteral("../CMakeLists.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QRegularExpression re(QStringLiteral("project\\([^)]*VERSION\\s+([0-9.]+)"));
    const QRegularExpressionMatch m = re.match(QString::fromUtf8(file.readAll()));
    return m.hasMatch() ? m.captured(1) : QString();
}

bool save(const QImage &image, const QString &path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawpictures <resources directory>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("pictures"));
    bool ok = true;
    ok &= save(drawIntro(), out.filePath(QStringLiteral("pictures/intro.png")));
    const QString version = projectVersion(out);
    if (version.isEmpty()) {
        std::fprintf(stderr, "cannot read the project version\n");
        return 1;
    }
    ok &= save(drawSky(version), out.filePath(QStringLiteral("pictures/sky.png")));
    return ok ? 0 : 1;
}
