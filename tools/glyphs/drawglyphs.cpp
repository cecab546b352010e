// Draws the tool-bar glyphs (25 x 22) and the program icons (32 x 32) pixel
// by pixel in the 16-colour palette, on a transparent ground, and writes
// them as palette PNGs: <out>/glyphs/<command id>.png and
// <out>/icons/icon1.png, icon2.png, each with an @2x twin for screens
// scaled to 150 % and more, and the card-file icon drawn at 48, 64, 128 and
// 256 px for the desktop's icon theme (<out>/icons/hicolor/mnemodeck-N.png).
// Usage: drawglyphs <resources directory>
//
// The twins double every pixel rather than smooth it: Qt scaling the 1x
// drawing up blurs its one-pixel lines, a doubled pixel stays sharp, and
// the 100 % look is the drawing itself.
//
// The ground is transparent so the glyphs sit on whatever tool bar the
// desktop draws, light or dark; an opaque grey ground showed as grey tiles.
// There are no disabled variants: Qt derives the greyed look from these.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

// The 16 colours, and Clear for the ground.
enum Pen : uchar {
    Black, Maroon, Green, Olive, Navy, Purple, Teal, Grey,
    Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White,
    Clear,
};
const QRgb kPalette[17] = {
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
    qRgb(192, 192, 192), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    qRgba(0, 0, 0, 0),
};

class Canvas {
public:
    Canvas(int w, int h) : img_(w, h, QImage::Format_Indexed8)
    {
        img_.setColorCount(17);
        for (int i = 0; i < 17; ++i)
            img_.setColor(i, kPalette[i]);
        img_.fill(Clear);
    }
    void set(int x, int y, Pen c)
    {
        if (x >= 0 && y >= 0 && x < img_.width() && y < img_.height())
            img_.setPixel(x, y, c);
    }
    void hline(int x0, int x1, int y, Pen c) { for (int x = x0; x <= x1; ++x) set(x, y, c); }
    void vline(int x, int y0, int y1, Pen c) { for (int y = y0; y <= y1; ++y) set(x, y, c); }
    void fill(int x, int y, int w, int h, Pen c)
    {
        for (int j = 0; j < h; ++j)
            hline(x, x + w - 1, y + j, c);
    }
    void frame(int x, int y, int w, int h, Pen c)
    {
        hline(x, x + w - 1, y, c);
        hline(x, x + w - 1, y + h - 1, c);
        vline(x, y, y + h - 1, c);
        vline(x + w - 1, y, y + h - 1, c);
    }
    // Every other pixel of the outline.
    void dottedFrame(int x, int y, int w, int h, Pen c)
    {
        for (int i = 0; i < w; i += 2) { set(x + i, y, c); set(x + i, y + h - 1, c); }
        for (int j = 0; j < h; j += 2) { set(x, y + j, c); set(x + w - 1, y + j, c); }
    }
    void line(int x0, int y0, int x1, int y1, Pen c)
    {
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        while (true) {
            set(x0, y0, c);
            if (x0 == x1 && y0 == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) { err += dy; x0 += sx; }
            if (e2 <= dx) { err += dx; y0 += sy; }
        }
    }
    void disc(int cx, int cy, int r, Pen c)
    {
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x)
                if (x * x + y * y <= r * r + r / 2)
                    set(cx + x, cy + y, c);
    }
    void ring(int cx, int cy, int r, int thick, Pen c)
    {
        const int outer = r * r + r / 2, inner = (r - thick) * (r - thick) + (r - thick) / 2;
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x) {
                const int d = x * x + y * y;
                if (d <= outer && d > inner)
                    set(cx + x, cy + y, c);
            }
    }
    const QImage &image() const { return img_; }

private:
    QImage img_;
};

// A white card with a black outline and a grey shadow to its right and
// below; the index-card rule in red under its top edge when ruled.
void card(Canvas &c, int x, int y, int w, int h, bool ruled = false)
{
    c.fill(x + 1, y + 1, w - 2, h - 2, White);
    c.frame(x, y, w, h, Black);
    c.hline(x + 1, x + w, y + h, Grey);
    c.vline(x + w, y + 1, y + h, Grey);
    if (ruled)
        c.hline(x + 2, x + w - 3, y + 3, Red);
}

// Text lines on a card.
void cardLines(Canvas &c, int x, int y, int w, int h, Pen pen = Navy, int from = 5)
{
    for (int ly = y + from; ly < y + h - 2; ly += 2)
        c.hline(x + 2, x + w - 3 - ((ly / 2) % 2) * 3, ly, pen);
}

// Solid arrows: the head's tip at (x, y).
void arrowUp(Canvas &c, int x, int y, int shaft, Pen pen, Pen edge)
{
    for (int i = 0; i < 4; ++i)
        c.hline(x - i, x + i, y + i, pen);
    c.fill(x - 1, y + 4, 3, shaft, pen);
    c.line(x - 3, y + 3, x, y, edge);
    c.line(x + 3, y + 3, x, y, edge);
    c.vline(x + 2, y + 4, y + 3 + shaft, edge);
}
void arrowDown(Canvas &c, int x, int y, int shaft, Pen pen, Pen edge)
{
    c.fill(x - 1, y - 3 - shaft, 3, shaft, pen);
    for (int i = 0; i < 4; ++i)
        c.hline(x - i, x + i, y - i, pen);
    c.line(x + 3, y - 3, x, y, edge);
    c.vline(x + 2, y - 3 - shaft, y - 4, edge);
}
void arrowRight(Canvas &c, int x, int y, int shaft, Pen pen)
{
    c.fill(x - 3 - shaft, y - 1, shaft, 3, pen);
    for (int i = 0; i < 4; ++i)
        c.vline(x - i, y - i, y + i, pen);
}
void arrowLeft(Canvas &c, int x, int y, int shaft, Pen pen)
{
    c.fill(x + 4, y - 1, shaft, 3, pen);
    for (int i = 0; i < 4; ++i)
        c.vline(x + i, y - i, y + i, pen);
}

// A 3.5-inch diskette, 15 x 15, top left at (x, y).
void diskette(Canvas &c, int x, int y)
{
    c.fill(x, y, 15, 15, Blue);
    c.frame(x, y, 15, 15, Navy);
    c.set(x + 14, y, Clear); // the cut corner
    c.set(x + 13, y + 1, Navy);
    c.set(x + 14, y + 1, Clear);
    c.fill(x + 4, y + 1, 7, 5, Silver); // shutter
    c.fill(x + 8, y + 2, 2, 3, Navy);
    c.fill(x + 3, y + 8, 9, 6, White); // label
    c.hline(x + 4, x + 10, y + 10, Grey);
    c.hline(x + 4, x + 9, y + 12, Grey);
}

void check(Canvas &c, int x, int y, Pen pen, Pen edge)
{
    // A heavy tick whose short stroke starts at (x, y).
    for (int i = 0; i < 4; ++i) {
        c.set(x + i, y + i, pen); c.set(x + i, y + i + 1, pen); c.set(x + i, y + i + 2, edge);
    }
    for (int i = 0; i < 8; ++i) {
        c.set(x + 4 + i, y + 3 - i, pen); c.set(x + 4 + i, y + 4 - i, pen); c.set(x + 4 + i, y + 5 - i, edge);
    }
}

// A pencil from its tip (x, y) up and to the right.
void pencil(Canvas &c, int x, int y, int length, Pen body, Pen tip)
{
    for (int i = 0; i < length; ++i) {
        const Pen p = i < 2 ? tip : i < 3 ? Olive : (i >= length - 2 ? Fuchsia : body);
        c.set(x + i, y - i, p);
        c.set(x + i + 1, y - i, i < 1 ? tip : p);
        c.set(x + i + 1, y - i - 1, i < 2 ? tip : (i >= length - 2 ? Purple : Olive));
    }
    c.set(x, y, Black);
}

// A turning arrow: the upper half of a ring with its head at one end,
// pointing down; towards the left for Undo, the right for Redo.
void turnArrow(Canvas &c, bool left)
{
    const int cx = 12, cy = 13, r = 7;
    const int outer = r * r + r / 2, inner = (r - 3) * (r - 3) + (r - 3) / 2;
    for (int y = -r; y <= 0; ++y)
        for (int x = -r; x <= r; ++x) {
            const int d = x * x + y * y;
            if (d <= outer && d > inner)
                c.set(cx + (left ? x : -x), cy + y, x == -r || y == -r ? Navy : Blue);
        }
    // The head: a triangle under the arc's end.
    const int hx = left ? cx - r + 1 : cx + r - 1;
    for (int i = 0; i < 4; ++i)
        c.hline(hx - 3 + i, hx + 3 - i, cy + 1 + i, i == 3 ? Navy : Blue);
}

using Drawer = std::function<void(Canvas &)>;

const std::vector<std::pair<int, Drawer>> kGlyphs = {
    {101, [](Canvas &c) { // New: two blank cards, one behind the other
         card(c, 8, 3, 14, 10);
         card(c, 3, 8, 14, 10);
     }},
    {100, [](Canvas &c) { // Open: arrow up out of a diskette
         diskette(c, 2, 5);
         arrowUp(c, 18, 1, 9, Lime, Green);
         c.fill(16, 15, 5, 1, Clear);
     }},
    {104, [](Canvas &c) { // Save: arrow down into a diskette
         diskette(c, 2, 5);
         arrowDown(c, 18, 13, 9, Lime, Green);
     }},
    {121, [](Canvas &c) { // Print cards: a printer
         c.fill(7, 2, 11, 7, White);          // paper
         c.frame(7, 2, 11, 7, Black);
         c.hline(9, 15, 4, Grey);
         c.hline(9, 13, 6, Grey);
         c.fill(3, 9, 19, 8, Silver);         // body
         c.frame(3, 9, 19, 8, Black);
         c.hline(4, 20, 10, White);
         c.vline(4, 10, 15, White);
         c.hline(4, 20, 16, Grey);
         c.hline(6, 18, 12, Black);           // paper slot
         c.set(18, 14, Lime);                 // the lamp
         c.set(16, 14, Grey);
         c.fill(5, 17, 15, 2, Grey);          // base
         c.hline(5, 19, 19, Black);
     }},
    {143, [](Canvas &c) { // Cut: scissors above a card
         card(c, 4, 12, 17, 8, true);
         c.line(7, 1, 14, 10, Black);          // blades
         c.line(8, 1, 15, 10, Grey);
         c.line(17, 1, 10, 10, Black);
         c.line(16, 1, 9, 10, Grey);
         c.ring(8, 12, 2, 1, Red);             // handles over the card
         c.ring(16, 12, 2, 1, Red);
         c.set(12, 6, Yellow);                 // the pivot
     }},
    {115, [](Canvas &c) { // Copy: one card to another
         card(c, 0, 3, 9, 15, true);
         cardLines(c, 0, 3, 9, 15, Navy);
         card(c, 15, 3, 9, 15, true);
         arrowRight(c, 14, 10, 3, Green);
     }},
    {119, [](Canvas &c) { // Paste: arrows down into a card
         card(c, 3, 11, 19, 9, true);
         cardLines(c, 3, 11, 19, 9, Navy);
         arrowDown(c, 8, 9, 4, Lime, Green);
         arrowDown(c, 17, 9, 4, Lime, Green);
     }},
    {1203, [](Canvas &c) { // New category: a dotted card hanging from a dotted branch
         for (int y = 1; y <= 13; y += 2)
             c.set(4, y, Navy);
         for (int x = 4; x <= 10; x += 2)
             c.set(x, 13, Navy);
         c.fill(4, 1, 1, 1, Navy);
         c.fill(3, 0, 3, 2, Navy);
         c.fill(11, 8, 12, 11, White);
         c.dottedFrame(10, 7, 14, 13, Black);
         c.fill(16, 10, 1, 7, Green);          // a small plus: "new"
         c.fill(13, 13, 7, 1, Green);
     }},
    {107, [](Canvas &c) { // Add card: a card with a pen
         card(c, 2, 6, 17, 12, true);
         cardLines(c, 2, 6, 14, 12, Navy);
         pencil(c, 13, 15, 10, Yellow, Black);
     }},
    {108, [](Canvas &c) { // Search: an eye
         for (int x = 2; x <= 22; ++x) { // the almond
             const int d = std::abs(x - 12);
             const int half = std::max(0, 6 - d * d / 16);
             c.vline(x, 11 - half, 11 + half, White);
             c.set(x, 11 - half - 1, Black);
             c.set(x, 11 + half + 1, Black);
         }
         c.disc(12, 11, 4, Blue);
         c.ring(12, 11, 4, 1, Navy);
         c.disc(12, 11, 1, Black);
         c.set(11, 9, White);
         for (int x = 6; x <= 18; x += 4) // lashes
             c.line(x, 4, x + (x - 12) / 4, 2, Black);
     }},
    {109, [](Canvas &c) { // Shuffle: two columns of lines, an arrow between
         card(c, 1, 2, 8, 17);
         card(c, 16, 2, 8, 17);
         for (int y = 5; y <= 16; y += 3) {
             c.hline(3, 6, y, Black);
             c.hline(18, 21 - (y % 2), y, Black);
         }
         c.hline(3, 6, 8, Red);
         c.hline(18, 21, 14, Red);
         arrowRight(c, 14, 7, 2, Red);
         arrowLeft(c, 10, 13, 2, Navy);
     }},
    {111, [](Canvas &c) { // Edit card: a card with text and a red-tipped pen
         card(c, 1, 4, 18, 14, true);
         cardLines(c, 1, 4, 18, 14, Black, 6);
         pencil(c, 12, 18, 11, Blue, Red);
     }},
    {112, [](Canvas &c) { // Delete card: a card broken in two halves
         const int zig[] = {0, 1, 0, -1, 0, 1, 0, -1, 0, 1, 0, -1};
         // Left half.
         for (int y = 5; y < 17; ++y)
             c.hline(2, 10 + zig[y - 5], y, White);
         c.hline(2, 10, 5, Black);
         c.hline(2, 10, 16, Black);
         c.vline(2, 5, 16, Black);
         for (int y = 5; y < 17; ++y)
             c.set(10 + zig[y - 5], y, Black);
         c.hline(3, 10, 17, Grey);
         c.hline(4, 9, 7, Red);
         // Right half, dropped and apart.
         for (int y = 7; y < 19; ++y)
             c.hline(14 + zig[y - 7], 22, y, White);
         c.hline(14, 22, 7, Black);
         c.hline(14, 22, 18, Black);
         c.vline(22, 7, 18, Black);
         c.vline(23, 8, 19, Grey);
         c.hline(15, 23, 19, Grey);
         for (int y = 7; y < 19; ++y)
             c.set(14 + zig[y - 7], y, Black);
         c.hline(16, 20, 9, Red);
     }},
    {1301, [](Canvas &c) { turnArrow(c, true); }},  // Undo
    {1302, [](Canvas &c) { turnArrow(c, false); }}, // Redo
    {1100, [](Canvas &c) { // Mark: a green tick
         check(c, 5, 9, Green, Black);
         check(c, 5, 8, Lime, Green);
     }},
    {1101, [](Canvas &c) { // Unmark all: ticks under a prohibition sign
         check(c, 2, 11, Green, Black);
         check(c, 10, 11, Green, Black);
         c.ring(12, 11, 10, 2, Red);
         c.line(5, 4, 19, 18, Red);
         c.line(6, 4, 20, 18, Red);
         c.line(5, 5, 19, 19, Red);
     }},
    {1102, [](Canvas &c) { // Jump to card: a card standing on small legs
         card(c, 5, 1, 15, 11, true);
         cardLines(c, 5, 1, 15, 11, Navy);
         c.line(9, 12, 7, 17, Black);   // legs, knees bent for the jump
         c.line(7, 17, 9, 19, Black);
         c.hline(9, 11, 19, Black);
         c.line(15, 12, 17, 16, Black);
         c.line(17, 16, 15, 19, Black);
         c.hline(15, 17, 19, Black);
         c.hline(1, 3, 14, Grey);        // motion lines
         c.hline(0, 2, 17, Grey);
         c.hline(21, 23, 14, Grey);
     }},
    {909, [](Canvas &c) { // Change font: a blue serif capital F
         c.fill(8, 3, 4, 16, Blue);      // stem
         c.fill(5, 3, 14, 3, Blue);      // top arm and serif
         c.fill(17, 3, 2, 6, Blue);      // top serif going down
         c.fill(12, 10, 5, 2, Blue);     // middle arm
         c.fill(15, 8, 2, 6, Blue);      // its serif
         c.fill(5, 17, 10, 2, Blue);     // foot serif
         c.vline(7, 6, 16, Navy);
         c.hline(12, 16, 6, Navy);
         c.hline(12, 14, 12, Navy);
         c.hline(5, 14, 19, Navy);
     }},
    {910, [](Canvas &c) { // Notepad: a yellow note pad
         c.fill(5, 3, 15, 17, Yellow);
         c.frame(5, 3, 15, 17, Black);
         c.vline(20, 4, 20, Grey);
         c.hline(6, 20, 20, Grey);
         c.fill(6, 3, 13, 2, Red);         // the binding
         for (int x = 7; x <= 17; x += 3) {
             c.set(x, 2, Grey);            // the wire rings
             c.set(x, 1, Black);
         }
         for (int y = 7; y <= 17; y += 2)
             c.hline(7, 17 - (y % 4 == 1 ? 3 : 0), y, Olive);
     }},
};

QImage icon1()
{
    Canvas c(32, 32);
    card(c, 9, 3, 20, 14);
    card(c, 5, 8, 20, 14);
    card(c, 1, 13, 22, 16, true);
    // A bold "M" on the front card.
    c.fill(5, 19, 2, 8, Navy);
    c.fill(16, 19, 2, 8, Navy);
    c.line(7, 19, 11, 24, Navy);
    c.line(7, 20, 11, 25, Navy);
    c.line(16, 19, 12, 24, Navy);
    c.line(16, 20, 12, 25, Navy);
    check(c, 18, 3, Green, Black);
    check(c, 18, 2, Lime, Green);
    return c.image();
}

QImage icon2()
{
    Canvas c(32, 32);
    // A document with a folded corner holding two cards.
    c.fill(5, 1, 20, 29, White);
    c.frame(5, 1, 20, 29, Black);
    c.vline(25, 2, 30, Grey);
    c.hline(6, 25, 30, Grey);
    for (int i = 0; i < 6; ++i) {
        c.hline(24 - i, 24, 1 + i, Clear);
        c.set(24 - 5 + i, 1 + i, Black);
    }
    c.hline(19, 24, 6, Black);
    c.vline(19, 1, 6, Black);
    card(c, 10, 10, 12, 8, true);
    card(c, 8, 15, 12, 9, true);
    cardLines(c, 8, 15, 12, 9, Navy);
    return c.image();
}

// The card-file icon drawn at a larger size for the desktop's icon theme:
// the same document and cards, laid out on the 32-unit grid of icon2 but
// with edges on whole pixels of the size and outlines one pixel per 32
// pixels of it (so 48 and 64 keep fine lines and more room for the card's
// text lines, 256 bold ones), instead of the 32 px art blown up.
QImage icon2At(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    const double u = size / 32.0;
    const int t = std::max(1, size / 64); // outline thickness
    const auto at = [u](double v) { return int(std::lround(v * u)); };
    const auto box = [&](double x, double y, double w, double h, QRgb colour) {
        p.fillRect(QRect(QPoint(at(x), at(y)), QPoint(at(x + w) - 1, at(y + h) - 1)), QColor(colour));
    };
    const auto outline = [&](double x, double y, double w, double h, QRgb colour) {
        const QRect r(QPoint(at(x), at(y)), QPoint(at(x + w) - 1, at(y + h) - 1));
        p.fillRect(QRect(r.left(), r.top(), r.width(), t), QColor(colour));
        p.fillRect(QRect(r.left(), r.bottom() - t + 1, r.width(), t), QColor(colour));
        p.fillRect(QRect(r.left(), r.top(), t, r.height()), QColor(colour));
        p.fillRect(QRect(r.right() - t + 1, r.top(), t, r.height()), QColor(colour));
    };
    const auto drawCard = [&](double x, double y, double w, double h, bool lines) {
        box(x + w, y + 0.5, 0.5, h, kPalette[Grey]);  // shadow right
        box(x + 0.5, y + h, w, 0.5, kPalette[Grey]);  // and below
        box(x, y, w, h, kPalette[White]);
        outline(x, y, w, h, kPalette[Black]);
        p.fillRect(QRect(at(x + 1.5), at(y + 2.5), at(x + w - 1.5) - at(x + 1.5), t), QColor(kPalette[Red]));
        if (lines) // text lines, one every 2 px of the 32 px art, thinner here
            for (double ly = y + 4.5; ly < y + h - 1.5; ly += 1.5)
                p.fillRect(QRect(at(x + 1.5), at(ly), at(x + w - 1.5 - (int(ly * 2) % 3 == 0 ? 3 : 0)) - at(x + 1.5), t),
                           QColor(kPalette[Navy]));
    };
    // The document with its folded corner.
    const double fold = 6;
    box(25, 1.5, 0.5, 29, kPalette[Grey]);
    box(5.5, 30, 20, 0.5, kPalette[Grey]);
    const QPoint sheet[] = {{at(5), at(1)}, {at(25 - fold), at(1)}, {at(25), at(1 + fold)}, {at(25), at(30)}, {at(5), at(30)}};
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kPalette[Black]));
    p.drawPolygon(sheet, 5);
    const QPoint inner[] = {{at(5) + t, at(1) + t}, {at(25 - fold), at(1) + t}, {at(25) - t, at(1 + fold)},
                            {at(25) - t, at(30) - t}, {at(5) + t, at(30) - t}};
    p.setBrush(QColor(kPalette[White]));
    p.drawPolygon(inner, 5);
    // The fold: a triangle outlined towards the page.
    const QPoint flap[] = {{at(25 - fold), at(1)}, {at(25 - fold), at(1 + fold)}, {at(25), at(1 + fold)}};
    p.setBrush(QColor(kPalette[White]));
    p.setPen(QPen(QColor(kPalette[Black]), t, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolygon(flap, 3);
    p.setPen(Qt::NoPen);
    drawCard(10, 10, 12, 8, false);
    drawCard(8, 15, 12, 9, true);
    return img;
}

bool saveOne(const QImage &image, const QString &path)
{
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// name.png and its twin name@2x.png, which Qt's icons pick on a scaled screen.
bool save(const QImage &image, const QString &pathWithoutPng)
{
    const QImage twice = image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return saveOne(image, pathWithoutPng + QStringLiteral(".png"))
           & saveOne(twice, pathWithoutPng + QStringLiteral("@2x.png"));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawglyphs <resources directory>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("glyphs"));
    out.mkpath(QStringLiteral("icons"));
    bool ok = true;
    for (const auto &[id, draw] : kGlyphs) {
        Canvas c(25, 22);
        draw(c);
        ok &= save(c.image(), out.filePath(QStringLiteral("glyphs/%1").arg(id)));
    }
    ok &= save(icon1(), out.filePath(QStringLiteral("icons/icon1")));
    ok &= save(icon2(), out.filePath(QStringLiteral("icons/icon2")));
    out.mkpath(QStringLiteral("icons/hicolor"));
    for (int size : {48, 64, 128, 256})
        ok &= saveOne(icon2At(size), out.filePath(QStringLiteral("icons/hicolor/mnemodeck-%1.png").arg(size)));
    return ok ? 0 : 1;
}
