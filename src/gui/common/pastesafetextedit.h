#pragma once

#include <QPlainTextEdit>

namespace mdk {

// A multi-line text field (card sides, the notes) that pastes only from a
// clipboard or selection offering text. Right after a login their owner
// offers no format at all, and Qt 6.4 crashes pasting from such data (it
// reads the first of its formats); a paste of nothing changes nothing anyway.
class PasteSafeTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    // The keys and the middle click paste inside Qt without asking the two
    // above, so they are checked before Qt sees them.
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace mdk
