#pragma once

#include "core/print/printjob.h"
#include "core/settings/options.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace mdk::print {

// The drawing of printed pages: each card a row of two boxes (side 1 left,
// side 2 right), laid out in tenths of a millimetre from the top-left of
// the printable area, with a header on the first page. Works on any paged
// device: a printer, a PDF file, a preview.
class Printout {
public:
    // cards: what the job prints, in order (cardsToPrint).
    Printout(std::vector<PrintCard> cards, bool cardFormat, const QString &displayName, const LogFont &cardFont);
    ~Printout();
    Printout(const Printout &) = delete;
    Printout &operator=(const Printout &) = delete;

    int pageCount() const;
    int cardCount() const;

    // Draws page page (0-based; page 0 carries the header). painter is
    // active on a QPagedPaintDevice; the mapping to tenths of a millimetre
    // comes from the device's resolution and printable area, scaled down
    // only when that area is smaller than the layout.
    void drawPage(QPainter &painter, int page) const;

    enum class Outcome { Printed, Cancelled, Failed };
    // The whole job on device: every page in order. progress(done, total)
    // is called before the first page and then at least every 250 ms of
    // work; when it returns false the job stops (a printer's job is
    // aborted) and Cancelled is returned. Failed when the device cannot
    // start or finish.
    Outcome print(QPagedPaintDevice &device, const std::function<bool(int done, int total)> &progress = {}) const;

private:
    struct Style;
    const Style &style() const;
    // One side's text in its box: word-wrapped, clipped to the box.
    void drawText(QPainter &painter, const QRectF &box, const QString &text) const;

    std::vector<PrintCard> cards_;
    bool cardFormat_ = true;
    QString displayName_;
    LogFont cardFont_;
    mutable std::unique_ptr<Style> style_; // made at the first page
};

} // namespace mdk::print
