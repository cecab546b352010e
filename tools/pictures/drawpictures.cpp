// Draws the program's pictures and writes them as PNGs under
// <out>/pictures/, each also drawn at twice the pixels as name@2x.png for
// screens scaled to 150 % and more. One function per picture.
// Usage: drawpictures <resources directory>

#include <QColor>
#include <QDir>
#include <QLinearGradient>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>

#include <cstdio>

namespace {

// One study card, white with ruled lines and a word on it, turned by angle
// degrees about its centre.
void drawCard(QPainter &p, QPointF centre, qreal angle, const QString &word, const QColor &ink)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    const QRectF card(-78, -50, 156, 100);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70)); // shadow
    p.drawRoundedRect(card.translated(4, 5), 6, 6);
    p.setBrush(QColor(252, 250, 240));
    p.setPen(QPen(QColor(120, 120, 130), 1));
    p.drawRoundedRect(card, 6, 6);
    p.setPen(QPen(QColor(236, 120, 110), 1)); // the margin line
    p.drawLine(QPointF(card.left(), card.top() + 22), QPointF(card.right(), card.top() + 22));
    p.setPen(QPen(QColor(170, 200, 230), 1));
    for (qreal y = card.top() + 38; y < card.bottom() - 6; y += 14)
        p.drawLine(QPointF(card.left() + 6, y), QPointF(card.right() - 6, y));
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(22);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(ink);
    p.drawText(card.adjusted(0, 22, 0, 0), Qt::AlignCenter, word);
    p.restore();
}

// The start-up splash: 402 x 273. A fan of study cards on a deep blue
// ground, the program's name and a line about it.
QImage drawIntro(int scale)
{
    QImage img(QSize(402, 273) * scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient ground(0, 0, 0, 273);
    ground.setColorAt(0.0, QColor(16, 32, 86));
    ground.setColorAt(1.0, QColor(28, 84, 128));
    p.fillRect(QRect(0, 0, 402, 273), ground);
    // A few faint circles, like lamp light on a desk.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        p.setBrush(QColor(255, 255, 255, 10 + 3 * i));
        const qreal r = 150 - 25 * i;
        p.drawEllipse(QPointF(94, 146), r, r);
    }

    drawCard(p, QPointF(84, 152), -16, QStringLiteral("der Baum"), QColor(40, 40, 90));
    drawCard(p, QPointF(94, 142), -4, QStringLiteral("the tree"), QColor(40, 40, 90));
    drawCard(p, QPointF(102, 134), 8, QStringLiteral("l'arbre"), QColor(150, 30, 40));

    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(38);
    title.setBold(true);
    p.setFont(title);
    const QRect titleRect(212, 70, 186, 50);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(titleRect.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Mnemo"));
    p.setPen(QColor(255, 255, 255));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Mnemo"));
    const QRect deckRect(240, 112, 160, 50);
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(deckRect.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("deck"));
    p.setPen(QColor(255, 214, 90));
    p.drawText(deckRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("deck"));

    QFont line(QStringLiteral("Liberation Sans"));
    line.setPixelSize(13);
    p.setFont(line);
    p.setPen(QColor(200, 220, 240));
    p.drawText(QRect(214, 172, 184, 40), Qt::AlignLeft,
               QStringLiteral("Learn with two-sided\nstudy cards"));
    p.setPen(QPen(QColor(255, 214, 90), 2));
    p.drawLine(214, 166, 330, 166);
    return img;
}

// The About window's sky: 274 x 315, without texts: the window draws its
// name, version and line over it from the translation. Dusk violets and
// warm golds, kept away from the panels' teal and sky blue so the turning
// scene stands out. The scene turns in the band from y 54 to 172; the
// button sits at y 282.
QImage drawSky(int scale)
{
    QImage img(QSize(274, 315) * scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    QPainter p(&img);
    QLinearGradient dusk(0, 0, 0, 315);
    dusk.setColorAt(0.0, QColor(24, 10, 48));
    dusk.setColorAt(0.55, QColor(70, 24, 84));
    dusk.setColorAt(1.0, QColor(150, 60, 70));
    p.fillRect(QRect(0, 0, 274, 315), dusk);

    // Stars from a fixed sequence, so the picture is the same on every run.
    unsigned seed = 4302u;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % unsigned(range));
    };
    for (int i = 0; i < 70; ++i) {
        const int x = next(274), y = next(240);
        const QColor star = next(4) == 0 ? QColor(255, 226, 150) : QColor(236, 230, 246);
        p.fillRect(x, y, 1, 1, star);
        if (next(6) == 0 && x > 0 && x < 273 && y > 0) {
            const QColor glow(150, 120, 160);
            p.fillRect(x - 1, y, 1, 1, glow);
            p.fillRect(x + 1, y, 1, 1, glow);
            p.fillRect(x, y - 1, 1, 1, glow);
            p.fillRect(x, y + 1, 1, 1, glow);
        }
    }

    // A low hill line behind the texts.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 16, 40));
    const QPoint hill[] = {{0, 315}, {0, 250}, {60, 238}, {130, 248}, {200, 232},
                           {274, 244}, {274, 315}};
    p.drawPolygon(hill, 7);

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
    ok &= save(drawIntro(1), out.filePath(QStringLiteral("pictures/intro.png")));
    ok &= save(drawIntro(2), out.filePath(QStringLiteral("pictures/intro@2x.png")));
    ok &= save(drawSky(1), out.filePath(QStringLiteral("pictures/sky.png")));
    ok &= save(drawSky(2), out.filePath(QStringLiteral("pictures/sky@2x.png")));
    return ok ? 0 : 1;
}
