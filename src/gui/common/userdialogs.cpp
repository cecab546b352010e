#include "userdialogs.h"

#include "core/settings/translations.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QRegularExpression>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

namespace mdk {

namespace {

const QString kFilter = QStringLiteral(QT_TRANSLATE_NOOP("Mnemodeck", "Mnemodeck Files (*.mdk);;All Files (*)"));

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
                      QFileDialog::AcceptMode acceptMode, QFileDialog::FileMode fileMode,
                      const QString &filter = kFilter, const QString &suffix = QStringLiteral("mdk"))
{
    QFileDialog dialog(parent, translations::text(caption), startDir, translations::text(filter));
    dialog.setAcceptMode(acceptMode);
    dialog.setFileMode(fileMode);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

// A screen reader reads a box's name and description when it opens: the
// caption and the whole text, rather than whichever part it lands on.
void describe(QMessageBox &box, const QString &caption, const QString &text)
{
    box.setAccessibleName(caption);
    box.setAccessibleDescription(text);
}

} // namespace

QMessageBox::StandardButton QtUserDialogs::message(QWidget *parent, Icon icon, const QString &caption,
                                                   const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(toQt(icon), translations::text(caption), translations::text(text), buttons, parent);
    describe(box, box.windowTitle(), box.text());
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
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
    QMessageBox box(toQt(icon), translations::text(caption), translations::text(text), QMessageBox::NoButton, parent);
    describe(box, box.windowTitle(), box.text());
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

QString QtUserDialogs::openFileOfType(QWidget *parent, const QString &caption, const QString &startDir,
                                      const QString &filter)
{
    return runFileDialog(parent, caption, startDir, QFileDialog::AcceptOpen, QFileDialog::ExistingFile, filter,
                         QString());
}

QString QtUserDialogs::saveFileOfType(QWidget *parent, const QString &caption, const QString &startDir,
                                      const QString &filter)
{
    // The first filter's first pattern gives the suffix of a bare name.
    const qsizetype star = filter.indexOf(QLatin1String("*."));
    const qsizetype end = star < 0 ? -1 : filter.indexOf(QRegularExpression(QStringLiteral("[ );]")), star);
    const QString suffix = star < 0 ? QString() : filter.mid(star + 2, end - star - 2);
    return runFileDialog(parent, caption, startDir, QFileDialog::AcceptSave, QFileDialog::AnyFile, filter, suffix);
}

QString QtUserDialogs::pictureFileName(QWidget *parent, const QString &caption, const QString &startDir)
{
    QFileDialog dialog(parent, translations::text(caption), startDir, QStringLiteral("PNG (*.png)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
}

QString QtUserDialogs::destinationFileName(QWidget *parent, const QString &caption, const QString &startDir)
{
    QFileDialog dialog(parent, translations::text(caption), startDir, translations::text(kFilter));
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
    dialog.setWindowTitle(QCoreApplication::translate("mdk::UserDialogs", "Printer setup"));
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>())
        if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
            ok->setText(QCoreApplication::translate("mdk::UserDialogs", "OK"));
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
    const QFont font = QFontDialog::getFont(&ok, initial, parent, QCoreApplication::translate("mdk::UserDialogs", "Font"));
    if (!ok)
        return std::nullopt;
    return font;
}

UserDialogs::RecoveryAnswer QtUserDialogs::askRecover(QWidget *parent, const QString &caption,
                                                     const QString &text)
{
    QMessageBox box(QMessageBox::Question, translations::text(caption), translations::text(text), QMessageBox::NoButton, parent);
    describe(box, box.windowTitle(), box.text());
    QPushButton *recover = box.addButton(QCoreApplication::translate("mdk::UserDialogs", "&Recover"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QCoreApplication::translate("mdk::UserDialogs", "&Discard"), QMessageBox::DestructiveRole);
    QPushButton *later = box.addButton(QCoreApplication::translate("mdk::UserDialogs", "Decide &later"), QMessageBox::RejectRole);
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
