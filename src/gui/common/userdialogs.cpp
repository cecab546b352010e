#include "userdialogs.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace mdk {

namespace {

const QString kFilter = QStringLiteral("Mnemodeck Files (*.mdk);;All Files (*)");

QMessageBox::Icon toQt(UserDialogs::Icon icon)
{
    switch (icon) {
    case UserDialogs::Icon::Exclamation: return QMessageBox::Warning;
    case UserDialogs::Icon::Stop: return QMessageBox::Critical;
    case UserDialogs::Icon::Question: return QMessageBox::Question;
    case UserDialogs::Icon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The card-file dialog: both filters, "mdk" added to a name typed without
// an extension; the chosen path, or empty when cancelled.
QString runFileDialog(QWidget *parent, const QString &caption, const QString &startDir,
                      QFileDialog::AcceptMode acceptMode, QFileDialog::FileMode fileMode)
{
    QFileDialog dialog(parent, caption, startDir, kFilter);
    dialog.setAcceptMode(acceptMode);
    dialog.setFileMode(fileMode);
    dialog.setDefaultSuffix(QStringLiteral("mdk"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

} // namespace

QMessageBox::StandardButton QtUserDialogs::message(QWidget *parent, Icon icon, const QString &caption,
                                                   const QString &text,
                                                   QMessageBox::StandardButtons buttons)
{
    QMessageBox box(toQt(icon), caption, text, buttons, parent);
    // Qt would make a lone No the escape button, so that Escape or the
    // close button answered No and a save question threw the changes
    // away. A question without Cancel gets a hidden one for them instead.
    if (buttons.testFlag(QMessageBox::No) && !buttons.testFlag(QMessageBox::Cancel)) {
        QPushButton *unanswered = box.addButton(QMessageBox::Cancel);
        unanswered->hide();
        box.setEscapeButton(unanswered);
    }
    box.exec();
    // exec() gives the escape button's code for Escape and close alike.
    return box.standardButton(box.clickedButton());
}

int QtUserDialogs::choose(QWidget *parent, Icon icon, const QString &caption, const QString &text,
                          const QStringList &buttons, int defaultButton)
{
    QMessageBox box(toQt(icon), caption, text, QMessageBox::NoButton, parent);
    QList<QPushButton *> pushed;
    for (const QString &label : buttons)
        pushed.append(box.addButton(label, QMessageBox::ActionRole));
    if (defaultButton >= 0 && defaultButton < pushed.size())
        box.setDefaultButton(pushed[defaultButton]);
    // Escape and the close button answer nothing rather than any button.
    QPushButton *unanswered = box.addButton(QMessageBox::Cancel);
    unanswered->hide();
    box.setEscapeButton(unanswered);
    box.exec();
    return int(pushed.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
}

QString QtUserDialogs::openFileName(QWidget *parent, const QString &caption, const QString &startDir)
{
    return runFileDialog(parent, caption, startDir, QFileDialog::AcceptOpen, QFileDialog::ExistingFile);
}

QString QtUserDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &startDir)
{
    // A save dialog asks before overwriting an existing file.
    return runFileDialog(parent, caption, startDir, QFileDialog::AcceptSave, QFileDialog::AnyFile);
}

QString QtUserDialogs::pictureFileName(QWidget *parent, const QString &caption, const QString &startDir)
{
    QFileDialog dialog(parent, caption, startDir, QStringLiteral("PNG pictures (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

QString QtUserDialogs::destinationFileName(QWidget *parent, const QString &caption, const QString &startDir)
{
    QFileDialog dialog(parent, caption, startDir, kFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The command appends to or creates the file; nothing is replaced.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QStringLiteral("mdk"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

namespace {
void offerNoPageRange(QPrintDialog &dialog)
{
    // No page range: every job prints all its pages.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
}
} // namespace

bool QtUserDialogs::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    offerNoPageRange(dialog);
    return dialog.exec() == QDialog::Accepted;
}

bool QtUserDialogs::setUpPrinter(QWidget *parent, QPrinter &printer)
{
    // Qt's print dialog only records the choices (the printer or a PDF
    // file, the paper); titled "Print" with a "Print" button it would make
    // the user believe the cards went out.
    QPrintDialog dialog(&printer, parent);
    offerNoPageRange(dialog);
    dialog.setWindowTitle(QStringLiteral("Printer setup"));
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("OK"));
    return dialog.exec() == QDialog::Accepted;
}

void QtUserDialogs::previewPrint(QWidget *parent, QPrinter &printer,
                                 const std::function<void(QPrinter *)> &paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    dialog.exec();
}

std::optional<QFont> QtUserDialogs::chooseFont(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent, QStringLiteral("Font"));
    if (!ok)
        return std::nullopt;
    return font;
}

UserDialogs::RecoveryAnswer QtUserDialogs::askRecover(QWidget *parent, const QString &caption,
                                                     const QString &text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton *recover = box.addButton(QStringLiteral("Recover"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    QPushButton *later = box.addButton(QStringLiteral("Decide later"), QMessageBox::RejectRole);
    box.setDefaultButton(recover);
    // Escape or the close button must never throw the changes away.
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() == recover)
        return RecoveryAnswer::Recover;
    if (box.clickedButton() == discard)
        return RecoveryAnswer::Discard;
    return RecoveryAnswer::Later;
}

} // namespace mdk
