// Draws the program's pictures and writes them as PNGs under
// <out>/pictures/. One function per picture.
// Usage: drawpictures <resources directory>

#include <QColor>
#include <QDir>
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
    return ok ? 0 : 1;
}
