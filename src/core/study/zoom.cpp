#include "zoom.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace mdk::zoom {

namespace {
// Small steps near 100 %, where a reader fine-tunes, larger ones further out.
constexpr std::array<int, 14> kSteps{50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};
} // namespace

int bounded(int percent) { return std::clamp(percent, kMin, kMax); }

int larger(int percent)
{
    const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), bounded(percent));
    return next == kSteps.end() ? kMax : *next;
}

int smaller(int percent)
{
    const auto at = std::lower_bound(kSteps.begin(), kSteps.end(), bounded(percent));
    return at == kSteps.begin() ? kMin : *(at - 1);
}

QString statusText(int percent) { return QCoreApplication::translate("Mnemodeck", "Zoom %1%").arg(bounded(percent)); }

} // namespace mdk::zoom
