#include "recoverycontroller.h"

#include "core/deck/cardfile.h"
#include "core/deck/filenames.h"
#include "core/settings/options.h"
#include "gui/common/userdialogs.h"
#include "gui/common/waitcursor.h"
#include "gui/files/opendocument.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace mdk {

RecoveryController::RecoveryController(const CommandContext &context, OpenDocument &document, QObject *parent)
    : QObject(parent), deck_(context.deck), options_(context.options), dialogs_(context.dialogs),
      window_(context.window), document_(document)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryController::writeNow);
}

RecoveryController::~RecoveryController()
{
    join();
    removeOwn();
}

void RecoveryController::join()
{
    if (worker_.joinable())
        worker_.join();
    busy_ = false;
}

QString RecoveryController::openPath() const
{
    const QString &path = document_.file().path;
    if (path.isEmpty())
        return path;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

void RecoveryController::deckTouched()
{
    if (folder_.isEmpty())
        return;
    const recovery::DeckStamp now{deck_.viewRevision(), deck_.treeRevision(), document_.differsFromFile()};
    const QString path = openPath();
    // Loaded, saved or reverted: this is the file the next copy is made from.
    if (!now.differs)
        identity_ = recovery::identityOf(path);
    // A snapshot half gathered is of a deck that is no more.
    if (gathering_ && !(now == gatheringFrom_))
        gathering_.reset();
    switch (recovery::afterCommand(last_, now, options_.recoveryOn)) {
    case recovery::Step::Remove:
        timer_.stop();
        if (!busy_)
            removeOwn();
        break;
    case recovery::Step::Schedule: timer_.start(std::max(1, options_.recoveryIntervalSec) * 1000); break;
    case recovery::Step::Nothing: break;
    }
    last_ = now;
    if (path == lastPath_)
        return;
    lastPath_ = path;
    if (now.differs || path.isEmpty())
        return;
    const std::optional<recovery::Offer> found =
        recovery::offerForFile(recovery::listCopies(folder_), path, world_);
    if (found && !asked_.contains(found->copy.metaFile))
        offer(*found);
}

void RecoveryController::offerAtStartup()
{
    if (folder_.isEmpty())
        return;
    deckTouched(); // the file named on the command line is asked about first
    for (const recovery::Offer &each : recovery::offersAtStartup(recovery::listCopies(folder_), world_)) {
        // One copy recovered per start, and never one over changes: the
        // rest wait for a later start.
        if (recovered_ || document_.differsFromFile())
            break;
        if (!asked_.contains(each.copy.metaFile))
            offer(each);
    }
}

void RecoveryController::offer(recovery::Offer offer)
{
    const recovery::Copy &copy = offer.copy;
    // Recovering over unsaved work (a deck just recovered) would replace it.
    if (document_.differsFromFile())
        return;
    asked_.insert(copy.metaFile);
    switch (dialogs_.askRecover(window_, tr("Recovery"), recovery::question(offer))) {
    case UserDialogs::RecoveryAnswer::Later: return;
    case UserDialogs::RecoveryAnswer::Discard:
        QFile::remove(copy.metaFile);
        QFile::remove(copy.deckFile);
        return;
    case UserDialogs::RecoveryAnswer::Recover: break;
    }
    cardfile::ReadResult result;
    {
        WaitCursor wait;
        result = cardfile::read(copy.deckFile, deck_);
    }
    if (!result.opened) {
        dialogs_.warn(window_, tr("Recovery"),
                      tr("The recovery copy could not be read.  It is kept in %1.").arg(folder_));
        return;
    }
    recovered_ = true;
    const CategoryTree::NodeId open = deck_.tree().findByName(copy.meta.category);
    if (open != CategoryTree::None && open != deck_.tree().selected()) {
        deck_.selectCategory(open);
        deck_.OpenCategory();
    }
    // The file is then open as Open opens it: its lock (or the user's yes
    // to sharing it), its state on disk and its versions.
    const QString name = names::displayName(QFileInfo(copy.meta.path).fileName());
    if (offer.as == recovery::OfferAs::File && document_.adoptFile(copy.meta.path, name)) {
        identity_ = copy.meta.identity;
    } else {
        offer.as = recovery::OfferAs::NewDeck;
        document_.closeFile();
        document_.file().path.clear();
        document_.file().ProtectedFileName.clear();
        identity_ = {};
        Q_EMIT captionChanged(QStringLiteral("Mnemodeck"));
    }
    deck_.markRecovered(offer.as == recovery::OfferAs::File);
    lastPath_ = openPath();
    const int cards = deck_.fileCount();
    Q_EMIT statusMessage(cards == 1 ? tr("Recovered 1 card") : tr("Recovered %1 cards").arg(QLocale().toString(cards)));
    // The recovered deck is this process's now: its own copy follows at
    // once, and the old one goes when that is written.
    adopted_ << copy.metaFile << copy.deckFile;
    deckTouched();
    writeNow();
}

void RecoveryController::writeNow()
{
    if (folder_.isEmpty() || !options_.recoveryOn || !document_.differsFromFile() || gathering_)
        return;
    if (busy_) {
        again_ = true;
        return;
    }
    join();
    gathering_ = std::make_unique<recovery::Snapshot>(deck_);
    gatheringFrom_ = {deck_.viewRevision(), deck_.treeRevision(), document_.differsFromFile()};
    gatherSlice();
}

void RecoveryController::gatherSlice()
{
    if (!gathering_)
        return; // the deck changed: the next change's timer starts again
    // The window's events run between slices; the frame tells us of any
    // change before the next slice, and the snapshot is then dropped. A
    // slice ends after kSliceMs, whatever the cards cost to copy.
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    while (!(done = gathering_->gather(deck_, kSliceStep)) && slice.elapsed() < kSliceMs) {
    }
    if (!done) {
        QTimer::singleShot(0, this, &RecoveryController::gatherSlice);
        return;
    }
    std::unique_ptr<recovery::Snapshot> snapshot = std::move(gathering_);
    recovery::Meta meta;
    meta.path = openPath();
    meta.identity = identity_;
    meta.time = QDateTime::currentDateTime();
    meta.writer = world_.self;
    const QString base = recovery::copyName(meta.path, world_.self, startMs_);
    busy_ = true;
    worker_ = std::thread([this, snapshot = std::move(snapshot), meta, folder = folder_, base]() mutable {
        const WriteResult result = recovery::writeCopy(*snapshot, meta, folder, base);
        // Freed here, before the window hears of it: a million cards' texts
        // take tens of milliseconds to let go, and the window joins this
        // thread when it hears.
        snapshot.reset();
        QMetaObject::invokeMethod(this, [this, result, base] { written(result, base); }, Qt::QueuedConnection);
    });
}

void RecoveryController::written(const WriteResult &result, const QString &base)
{
    join();
    if (result.ok) {
        failureShown_ = false;
        dropAdopted();
        if (!ownBase_.isEmpty() && ownBase_ != base)
            removeOwn();
        ownBase_ = base;
    } else if (!failureShown_) {
        // Once, in the status line: the user's file and the deck are untouched.
        failureShown_ = true;
        Q_EMIT statusMessage(tr("The recovery copy could not be written.  ") + result.error);
    }
    if (!options_.recoveryOn || !document_.differsFromFile()) {
        // Saved (or let go) while the copy was being written.
        if (result.ok)
            ownBase_ = base;
        removeOwn();
    } else if (again_) {
        timer_.start(std::max(1, options_.recoveryIntervalSec) * 1000);
    }
    again_ = false;
}

void RecoveryController::dropAdopted()
{
    for (const QString &file : std::as_const(adopted_))
        QFile::remove(file);
    adopted_.clear();
}

void RecoveryController::removeOwn()
{
    dropAdopted();
    if (ownBase_.isEmpty())
        return;
    const QDir dir(folder_);
    QFile::remove(dir.filePath(ownBase_ + QStringLiteral(".json")));
    QFile::remove(dir.filePath(ownBase_ + QStringLiteral(".mdk")));
    ownBase_.clear();
}

} // namespace mdk
