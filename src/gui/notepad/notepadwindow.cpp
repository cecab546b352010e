#include "notepadwindow.h"

#include "gui/common/accessibility.h"
#include "gui/common/dialogfont.h"
#include "gui/common/pastesafetextedit.h"
#include "gui/common/userdialogs.h"

#include <QGuiApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace mdk {

namespace {
// The template and its controls, in dialog units.
constexpr QSize kTemplateSize{143, 119};
constexpr QRect kNotesRect{11, 9, 120, 82};
constexpr QRect kCloseRect{9, 99, 50, 14};
constexpr QRect kExtendedRect{63, 99, 71, 14};

// The screen the point lies on, else the one nearest to it.
QScreen *screenFor(const QPoint &point)
{
    if (QScreen *s = QGuiApplication::screenAt(point))
        return s;
    QScreen *best = QGuiApplication::primaryScreen();
    qint64 bestDistance = -1;
    for (QScreen *s : QGuiApplication::screens()) {
        const QRect g = s->availableGeometry();
        const qint64 dx = point.x() < g.left() ? g.left() - point.x() : qMax(0, point.x() - g.right());
        const qint64 dy = point.y() < g.top() ? g.top() - point.y() : qMax(0, point.y() - g.bottom());
        const qint64 d = dx * dx + dy * dy;
        if (bestDistance < 0 || d < bestDistance) {
            best = s;
            bestDistance = d;
        }
    }
    return best;
}

// The stored position comes from the settings as written on another desktop,
// perhaps a larger one: move the window just far enough to show it whole
// (its top-left first, so the title bar stays reachable on a small screen).
QPoint keptOnScreen(const QPoint &position, const QSize &frameSize)
{
    const QScreen *screen = screenFor(position);
    if (!screen)
        return position;
    const QRect area = screen->availableGeometry();
    const int x = qMax(area.left(), qMin(position.x(), area.right() + 1 - frameSize.width()));
    const int y = qMax(area.top(), qMin(position.y(), area.bottom() + 1 - frameSize.height()));
    return {x, y};
}

// The frame is not known before the window is shown; a title bar and thin
// borders of this size are what the usual desktops draw.
constexpr QSize kFrameAllowance{8, 32};
} // namespace

NotepadWindow::NotepadWindow(UserDialogs &dialogs, const QFont &font, const QPoint &storedPosition,
                             QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), dialogs_(dialogs)
{
    // An owned window rather than a tool window: Qt lets the owner's
    // shortcuts and menu mnemonics act while a tool window is active.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Notepad"));

    edit_ = new PasteSafeTextEdit(this);
    edit_->setObjectName(QStringLiteral("notesEdit"));
    edit_->setAccessibleName(tr("Notes"));
    edit_->setGeometry(kNotesRect);
    // Long lines scroll sideways rather than wrap, as the horizontal bar implies.
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_->setTabChangesFocus(true);

    auto *closeButton = new QPushButton(tr("&Close"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setGeometry(kCloseRect);
    auto *extendedButton = new QPushButton(tr("Extended chars..."), this);
    extendedButton->setObjectName(QStringLiteral("extendedCharsButton"));
    extendedButton->setGeometry(kExtendedRect);
    // Enter belongs to the notes, never to a button.
    closeButton->setAutoDefault(false);
    extendedButton->setAutoDefault(false);

    dlu::applyDialogUnits(this, kTemplateSize);
    edit_->setFont(font);
    accessible::nameScrollBars(*this);

    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(extendedButton, &QPushButton::clicked, this, &NotepadWindow::extendedCharsRequested);

    move(keptOnScreen(storedPosition, size() + kFrameAllowance));
    edit_->setFocus();
}

QPlainTextEdit *NotepadWindow::textEdit() const { return edit_; }

void NotepadWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape closes it as it closes a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void NotepadWindow::closeEvent(QCloseEvent *event)
{
    // The notes are kept nowhere else: Escape, "Close" and the window
    // manager all ask before throwing typed notes away.
    if (!edit_->document()->isEmpty()
        && !dialogs_.ask(this, tr("Notepad"), tr("Discard the notes?"))) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace mdk
