// The notepad window (placement, keys, closing) and the intro splash (its
// ticks, the focus, the picture it shows).

#include "gui/about/introsplash.h"
#include "gui/notepad/notepadwindow.h"
#include "support/scripteddialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimerEvent>

using namespace mdk;

namespace {

QFont notesFont()
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(13);
    return f;
}

QRect desktop() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// A deferred delete has run once this returns true.
template <typename W>
bool isGone(const QPointer<W> &w)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return w.isNull();
}

} // namespace

class TestNotepad : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        main_ = std::make_unique<QWidget>();
        main_->resize(300, 200);
        main_->show();
        dialogs_ = {};
    }
    void cleanup() { main_.reset(); }

    void storedPositionKeptOnScreen_data();
    void storedPositionKeptOnScreen();
    void keysAndButtons();
    void closingDestroys_data();
    void closingDestroys();

    void splashClosesAfterItsTicks();
    void splashRealTimerTakesItsTime();
    void splashLeavesTheFocusAndShowsThePictureUnscaled();

private:
    std::unique_ptr<QWidget> main_;
    testsupport::ScriptedDialogs dialogs_;
};

void TestNotepad::storedPositionKeptOnScreen_data()
{
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<bool>("keptAsIs");
    const QRect d = desktop();
    QTest::newRow("on screen") << d.topLeft() + QPoint(40, 30) << true;
    QTest::newRow("far right and below") << QPoint(d.right() + 5000, d.bottom() + 5000) << false;
    QTest::newRow("negative") << QPoint(-3000, -200) << false;
    QTest::newRow("overhanging the right edge") << QPoint(d.right() - 20, d.top() + 10) << false;
}

void TestNotepad::storedPositionKeptOnScreen()
{
    QFETCH(QPoint, stored);
    QFETCH(bool, keptAsIs);
    auto *pad = new NotepadWindow(dialogs_, notesFont(), stored, main_.get());
    pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(pad));
    QVERIFY2(desktop().contains(pad->frameGeometry()), "the whole window is on the desktop");
    QCOMPARE(pad->pos() == stored, keptAsIs);
}

void TestNotepad::keysAndButtons()
{
    QPointer<NotepadWindow> pad = new NotepadWindow(dialogs_, notesFont(), desktop().topLeft(), main_.get());
    QCOMPARE(pad->windowTitle(), QStringLiteral("Notepad"));
    QVERIFY(pad->isWindow() && pad->parentWidget() == main_.get());
    QVERIFY(!(pad->windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(pad->minimumSize(), pad->maximumSize());
    pad->show();
    QVERIFY(QTest::qWaitForWindowExposed(pad));
    QPlainTextEdit *edit = pad->textEdit();
    QCOMPARE(edit->font().pixelSize(), 13);
    QVERIFY(edit->verticalScrollBar()->isVisible() && edit->horizontalScrollBar()->isVisible());

    // Enter and the keypad's Enter break the line and press no button.
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, QStringLiteral("def"));
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClicks(edit, QStringLiteral("g"));
    QVERIFY(!isGone(pad));
    QCOMPARE(edit->toPlainText(), QStringLiteral("abc\ndef\ng"));

    QSignalSpy palette(pad.data(), &NotepadWindow::extendedCharsRequested);
    QTest::mouseClick(pad->findChild<QPushButton *>(QStringLiteral("extendedCharsButton")), Qt::LeftButton);
    QCOMPARE(palette.count(), 1);
    QVERIFY(!isGone(pad));
}

void TestNotepad::closingDestroys_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("Close button") << 0;
    QTest::newRow("Escape in the notes") << 1;
    QTest::newRow("window manager") << 2;
}

void TestNotepad::closingDestroys()
{
    QFETCH(int, how);
    for (const bool typed : {false, true}) {
        dialogs_ = {};
        QPointer<NotepadWindow> pad = new NotepadWindow(dialogs_, notesFont(), desktop().topLeft(), main_.get());
        pad->show();
        QVERIFY(QTest::qWaitForWindowExposed(pad));
        if (typed)
            QTest::keyClicks(pad->textEdit(), QStringLiteral("notes"));
        // Typed notes are lost on closing: No keeps them, Yes lets go.
        dialogs_.answers = {QMessageBox::No, QMessageBox::Yes};
        for (int attempt = 0; attempt < (typed ? 2 : 1); ++attempt) {
            if (how == 0)
                QTest::mouseClick(pad->findChild<QPushButton *>(QStringLiteral("closeButton")), Qt::LeftButton);
            else if (how == 1)
                QTest::keyClick(pad->textEdit(), Qt::Key_Escape);
            else
                pad->close();
            if (typed && attempt == 0) {
                QVERIFY(!isGone(pad));
                QCOMPARE(pad->textEdit()->toPlainText(), QStringLiteral("notes"));
            }
        }
        QVERIFY(isGone(pad));
        QCOMPARE(dialogs_.messages(), typed ? QStringList(2, QStringLiteral("Notepad|Discard the notes?"))
                                            : QStringList());
    }
}

void TestNotepad::splashClosesAfterItsTicks()
{
    QPointer<IntroSplash> splash = new IntroSplash(main_.get());
    splash->show();
    // Timer events of any id count; the user's input counts for nothing.
    for (int i = 1; i < IntroSplash::kTicks; ++i) {
        QTimerEvent tick(12345);
        QCoreApplication::sendEvent(splash, &tick);
        if (i == IntroSplash::kTicks / 2) {
            QTest::mouseClick(splash, Qt::LeftButton);
            QTest::keyClick(splash, Qt::Key_Escape);
        }
    }
    QVERIFY(!isGone(splash));
    QVERIFY(splash->isVisible());
    QTimerEvent last(1);
    QCoreApplication::sendEvent(splash, &last);
    QVERIFY(isGone(splash));
}

void TestNotepad::splashRealTimerTakesItsTime()
{
    QElapsedTimer clock;
    clock.start();
    QPointer<IntroSplash> splash = new IntroSplash(main_.get());
    splash->show();
    QTRY_VERIFY_WITH_TIMEOUT(isGone(splash), 30000);
    QVERIFY2(clock.elapsed() >= IntroSplash::kTicks * IntroSplash::kTickMs - 10,
             qPrintable(QString::number(clock.elapsed())));
}

void TestNotepad::splashLeavesTheFocusAndShowsThePictureUnscaled()
{
    auto *field = new QLineEdit(main_.get());
    field->show();
    main_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main_.get()));
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field);

    auto *splash = new IntroSplash(main_.get());
    QCOMPARE(splash->windowTitle(), QStringLiteral("Welcome to Mnemodeck"));
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QTest::qWait(50);
    QCOMPARE(QApplication::activeWindow(), main_.get());
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::keyClicks(field, QStringLiteral("typed"));
    QCOMPARE(field->text(), QStringLiteral("typed"));

    QCOMPARE(splash->size(), QSize(402, 273));
    QCOMPARE(splash->geometry().size(), splash->frameGeometry().size()); // frameless
    const QRect screen = splash->screen()->geometry();
    QVERIFY(qAbs(splash->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(splash->geometry().center().y() - screen.center().y()) <= 1);
    const QImage picture = QImage(QStringLiteral(":/pictures/intro.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(picture.size(), QSize(402, 273));
    QCOMPARE(splash->grab().toImage().convertToFormat(QImage::Format_RGB32), picture);
}

QTEST_MAIN(TestNotepad)
#include "test_notepad.moc"
