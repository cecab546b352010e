#pragma once

#include "core/deck/recovery.h"
#include "gui/common/commandcontroller.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <thread>

namespace mdk {

class OpenDocument;

// Keeps the recovery copy of the open deck and offers leftover copies back.
// The frame tells it after every command (and when the pane opens a
// category); a change waits for the interval, so a burst gives one write.
// What Save would write is gathered on the window's thread in slices
// between events and written on a worker thread. Inert until given a folder.
class RecoveryController : public QObject {
    Q_OBJECT
public:
    RecoveryController(const CommandContext &context, OpenDocument &document, QObject *parent = nullptr);
    // A normal end: the copy of this process goes (a crash leaves it).
    ~RecoveryController() override;

    void useFolder(const QString &folder) { folder_ = folder; }
    const QString &folder() const { return folder_; }
    // Who this process is and which processes live (tests fake another).
    void setWorld(const recovery::World &world) { world_ = world; }

    // After a command: schedule a write, or remove the copy once the deck
    // matches its file again; a file newly opened may have a copy to offer.
    void deckTouched();
    // Offers the copies left by programs that ended without saving.
    void offerAtStartup();
    // The timer's work: gather the snapshot in slices, then write it on the
    // worker thread.
    void writeNow();
    // A slice on the window's thread lasts about kSliceMs, checked every
    // kSliceStep cards.
    static constexpr int kSliceMs = 4;
    static constexpr int kSliceStep = 512;
    // The base name of the copy this process has on disk (empty: none).
    const QString &ownCopy() const { return ownBase_; }
    // A copy is being written on the worker thread.
    bool writing() const { return busy_ || gathering_ != nullptr; }
    // The snapshot is taken and the worker thread writes it.
    bool gathered() const { return busy_; }

Q_SIGNALS:
    void statusMessage(const QString &text);
    void captionChanged(const QString &caption);

private:
    QString openPath() const;
    void offer(recovery::Offer offer);
    void written(const WriteResult &result, const QString &base);
    void removeOwn();
    void dropAdopted();
    void join();
    void gatherSlice();

    Deck &deck_;
    Options &options_;
    UserDialogs &dialogs_;
    QWidget *window_;
    OpenDocument &document_;
    QString folder_;
    recovery::World world_{recovery::thisProcess()};
    const qint64 startMs_ = QDateTime::currentMSecsSinceEpoch();
    QTimer timer_;
    recovery::DeckStamp last_;
    QString lastPath_;
    recovery::FileIdentity identity_; // the open file as loaded or saved
    QString ownBase_;
    // A dead program's copy that was recovered: kept until this process's
    // own copy (or the file) holds its cards, so no crash in between loses them.
    QStringList adopted_;
    QSet<QString> asked_; // copies asked about in this run
    // A copy was recovered into the window: no other is asked about at
    // this start.
    bool recovered_ = false;
    // The snapshot being gathered, and the deck's state when it began.
    std::unique_ptr<recovery::Snapshot> gathering_;
    recovery::DeckStamp gatheringFrom_;
    std::thread worker_;
    bool busy_ = false;
    bool again_ = false;
    bool failureShown_ = false;
};

} // namespace mdk
