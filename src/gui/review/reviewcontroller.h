#pragma once

#include "core/review/leitner.h"
#include "gui/common/commandcontroller.h"

#include <QSet>
#include <QString>

#include <memory>

namespace mdk {

struct OpenFile;
namespace review {
class ProgressStore;
}

// Review and Statistics: rounds over the open view that remember, outside
// the card file, which cards the user knows. The round never changes the
// deck.
class ReviewController : public CommandController {
    Q_OBJECT
public:
    ReviewController(const CommandContext &context, const OpenFile &open, QObject *parent = nullptr);
    ~ReviewController() override;

    void Review();
    void Statistics();

    // Tests move through days with a clock of their own.
    void setClock(review::Clock clock) { clock_ = std::move(clock); }

private:
    // The progress store, opened at first use and again when it had
    // stopped saving (the other program may have let go by now).
    review::ProgressStore &store();
    // The store's notice, once, in the status line.
    void tellNotice();

    const OpenFile &open_;
    review::Clock clock_ = review::systemClock();
    std::unique_ptr<review::ProgressStore> store_;
    QSet<QString> told_;
};

} // namespace mdk
