#include "printout.h"


#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

#include <cstdlib>

namespace mdk::print {

namespace {

// The layout, in tenths of a millimetre.
constexpr qreal kFirstRowTop = 100;
constexpr qreal kCardRowHeight = 800;
constexpr qreal kListRowHeight = 100;
constexpr qreal kBoxWidth = 975;
constexpr qreal kInset = 5;
constexpr qreal kPenWidth = 2; // 0.2 mm: visible on paper, thin enough for the list rows
// 10 points in tenths of a millimetre.
constexpr int kHeaderPixelSize = 35;
constexpr int kTabStopChars = 8;
// How often a job reports its progress.
constexpr qint64 kProgressIntervalMs = 100;

QFont sizedFont(QFont font, int pixelSize)
{
    font.setPixelSize(qMax(1, pixelSize));
    // Glyph outlines at printer resolution: hinting for a screen would move
    // the glyphs and change the line breaks between devices.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// The card font at twice its height; the height now counts in tenths of a
// millimetre on the page.
QFont printFont(const LogFont &lf)
{
    QFont font(lf.Typeface);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Weight(lf.Weight <= 0 ? int(QFont::Normal) : qBound(1, lf.Weight, 1000)));
    font.setItalic(lf.Italic != 0);
    font.setUnderline(lf.Underline != 0);
    font.setStrikeOut(lf.StrikeOut != 0);
    const int height = std::abs(lf.Height);
    return sizedFont(font, 2 * (height > 0 ? height : 13));
}

QFont headerFont()
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    return sizedFont(font, kHeaderPixelSize);
}

// A text that one plain line of the font shows exactly as the full layout
// would: no tab, no line break, only characters the card font itself holds
// (no fallback font with other line metrics), and narrow enough.
bool isPlainLine(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u > 0xff)
            return false;
    }
    return true;
}

} // namespace

// What every page shares: fonts, metrics and the text option, made once
// per drawing instead of once per text.
struct Printout::Style {
    QFont cardFont;
    QFontMetricsF cardMetrics;
    QFont header;
    QFontMetricsF headerMetrics;
    QTextOption option;
    qreal lineHeight = 0;

    explicit Style(const LogFont &lf)
        : cardFont(printFont(lf)), cardMetrics(cardFont), header(headerFont()), headerMetrics(header)
    {
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setAlignment(Qt::AlignLeft | Qt::AlignTop);
        option.setTabStopDistance(kTabStopChars * cardMetrics.averageCharWidth());
        lineHeight = cardMetrics.height();
    }
};

Printout::Printout(std::vector<PrintCard> cards, bool cardFormat, const QString &displayName, const LogFont &cardFont)
    : cards_(std::move(cards)), cardFormat_(cardFormat), displayName_(displayName), cardFont_(cardFont)
{
}

Printout::~Printout() = default;

int Printout::cardCount() const
{
    return int(cards_.size());
}

int Printout::pageCount() const
{
    return print::pageCount(cardCount(), cardFormat_);
}

const Printout::Style &Printout::style() const
{
    if (!style_)
        style_ = std::make_unique<Style>(cardFont_);
    return *style_;
}

void Printout::drawText(QPainter &painter, const QRectF &box, const QString &text) const
{
    const Style &s = style();
    const QRectF inner = box.adjusted(kInset, kInset, -kInset, -kInset);
    if (text.isEmpty())
        return;

    // Most cards are a word or two: one line, drawn without building a
    // layout, at the place the layout would give it.
    if (isPlainLine(text) && s.cardMetrics.horizontalAdvance(text) <= inner.width()) {
        const QPointF at(inner.left(), inner.top() + s.cardMetrics.ascent());
        if (s.lineHeight <= inner.height()) {
            painter.drawText(at, text);
        } else {
            // A font taller than the box still shows what fits of its line.
            painter.save();
            painter.setClipRect(inner, Qt::IntersectClip);
            painter.drawText(at, text);
            painter.restore();
        }
        return;
    }

    // CR LF, CR and LF all end a line.
    QString laid = text;
    laid.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    laid.replace(QLatin1Char('\r'), QChar::LineSeparator);
    laid.replace(QLatin1Char('\n'), QChar::LineSeparator);

    QTextLayout layout(laid, s.cardFont);
    layout.setTextOption(s.option);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    qreal y = 0;
    // Lines that begin inside the box are made and drawn; the last may run
    // past its bottom and is cut there. Lines wholly below the box are not
    // drawn at all, so they never reach a PDF's text either.
    QList<QTextLine> lines;
    while (y < inner.height()) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(inner.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
        lines.append(line);
    }
    layout.endLayout();
    const bool cut = y > inner.height();
    if (cut) {
        painter.save();
        painter.setClipRect(inner, Qt::IntersectClip);
    }
    for (const QTextLine &line : std::as_const(lines))
        line.draw(&painter, inner.topLeft());
    if (cut)
        painter.restore();
}

void Printout::drawPage(QPainter &painter, int page) const
{
    const int per = cardsPerPage(cardFormat_);
    const int total = cardCount();
    const int first = page * per;
    if (page < 0 || first >= total)
        return;
    const qreal rowHeight = cardFormat_ ? kCardRowHeight : kListRowHeight;
    const Style &s = style();

    painter.save();
    // Tenths of a millimetre from the top-left of the printable area.
    QPaintDevice *device = painter.device();
    const qreal scaleX = device->logicalDpiX() / 254.0;
    const qreal scaleY = device->logicalDpiY() / 254.0;
    const qreal layoutWidth = 2 * kBoxWidth + kPenWidth;
    const qreal layoutHeight = kFirstRowTop + per * rowHeight + kPenWidth;
    const qreal fit = qMin<qreal>(1.0, qMin(device->width() / scaleX / layoutWidth,
                                            device->height() / scaleY / layoutHeight));
    painter.scale(scaleX * fit, scaleY * fit);
    painter.translate(kPenWidth / 2, kPenWidth / 2);

    if (page == 0) {
        painter.setFont(s.header);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(0, s.headerMetrics.ascent()), headerText(displayName_, total));
    }

    // All boxes first, then all texts: two changes of pen and font a page
    // instead of four a side, which keeps a long PDF smaller and faster.
    const int last = qMin(total, first + per);
    painter.setPen(QPen(Qt::black, kPenWidth));
    painter.setBrush(Qt::white);
    for (int k = first; k < last; ++k)
        for (int side = 0; side < 2; ++side)
            painter.drawRect(QRectF(side * kBoxWidth, kFirstRowTop + (k - first) * rowHeight, kBoxWidth, rowHeight));
    painter.setFont(s.cardFont);
    painter.setPen(Qt::black);
    for (int k = first; k < last; ++k) {
        const qreal top = kFirstRowTop + (k - first) * rowHeight;
        drawText(painter, QRectF(0, top, kBoxWidth, rowHeight), cards_[size_t(k)].side1);
        drawText(painter, QRectF(kBoxWidth, top, kBoxWidth, rowHeight), cards_[size_t(k)].side2);
    }
    painter.restore();
}

Printout::Outcome Printout::print(QPagedPaintDevice &device, const std::function<bool(int, int)> &progress) const
{
    const int pages = pageCount();
    QPainter painter;
    if (!painter.begin(&device))
        return Outcome::Failed;
    QElapsedTimer sinceReport;
    sinceReport.start();
    const auto cancel = [&] {
        if (device.devType() == QInternal::Printer)
            static_cast<QPrinter &>(device).abort();
        painter.end();
        return Outcome::Cancelled;
    };
    if (progress && !progress(0, pages))
        return cancel();
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) {
            painter.end();
            return Outcome::Failed;
        }
        drawPage(painter, page);
        if (progress && sinceReport.elapsed() >= kProgressIntervalMs) {
            sinceReport.restart();
            if (!progress(page + 1, pages))
                return cancel();
        }
    }
    return painter.end() ? Outcome::Printed : Outcome::Failed;
}

} // namespace mdk::print
