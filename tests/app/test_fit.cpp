// Every text of every window fits its control on a screen scaled to 200 %
// (CTest runs this with QT_SCALE_FACTOR=2): nothing is cut off. CTest runs
// it again in German, whose words are longer (MDK_TRANSLATION names its .qm).

#include "support/allwindows.h"

#include <QAbstractButton>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

using namespace mdk::testsupport;

namespace {

QString shown(QString text)
{
    // A mnemonic's ampersand is not drawn; a doubled one is one.
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// The texts of window that do not fit the room their control gives them.
QStringList cutTexts(QWidget &window)
{
    QStringList cut;
    const auto report = [&](QWidget *w, const QString &text, QSize need, QSize room) {
        cut.append(QStringLiteral("%1 %2 \"%3\": needs %4 x %5, has %6 x %7")
                       .arg(QString::fromLatin1(window.metaObject()->className()), w->objectName(), text)
                       .arg(need.width()).arg(need.height()).arg(room.width()).arg(room.height()));
    };
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().isEmpty() || label->textFormat() == Qt::RichText)
            continue;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        // Only a label with a buddy takes an ampersand for a mnemonic.
        const QString text = label->buddy() ? shown(label->text()) : label->text();
        const QSize need = label->fontMetrics().boundingRect(room, flags, text).size();
        if (need.width() > room.width() || need.height() > room.height())
            report(label, text, need, room.size());
    }
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        const auto *tool = qobject_cast<QToolButton *>(button);
        if (!button->isVisible() || button->text().isEmpty()
            || (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly))
            continue;
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        // Where the style draws the text: beside the box of a check box or
        // radio button, inside the bevel of a push button.
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox *>(button))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton *>(button))
            element = QStyle::SE_RadioButtonContents;
        const QRect room = button->style()->subElementRect(element, &option, button);
        const QString text = shown(button->text());
        const QSize need = button->fontMetrics().boundingRect(room, Qt::AlignLeft, text).size();
        if (need.width() > room.width() || need.height() > room.height())
            report(button, text, need, room.size());
    }
    // A chart cuts an axis label or a title that does not fit to its start
    // and "...".
    const QList<QChartView *> charts = window.findChildren<QChartView *>();
    if (!charts.isEmpty()) // a chart lays itself out in posted events
        QCoreApplication::processEvents();
    for (QChartView *view : charts) {
        if (!view->isVisible() || !view->scene())
            continue;
        for (QGraphicsItem *item : view->scene()->items()) {
            const auto *text = dynamic_cast<QGraphicsTextItem *>(item);
            if (text && text->isVisible() && text->toPlainText().endsWith(QLatin1String("...")))
                cut.append(QStringLiteral("%1 chart \"%2\" (%3 wide) cuts a label to \"%4\"")
                               .arg(QString::fromLatin1(window.metaObject()->className()), view->chart()->title())
                               .arg(view->width())
                               .arg(text->toPlainText()));
        }
    }
    return cut;
}

} // namespace

class TestFit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTextFitsAtTwiceTheScale();
};

void TestFit::everyTextFitsAtTwiceTheScale()
{
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
    QTranslator translation;
    if (qEnvironmentVariableIsSet("MDK_TRANSLATION")) {
        QVERIFY(translation.load(qEnvironmentVariable("MDK_TRANSLATION")));
        QCoreApplication::installTranslator(&translation);
    }
    QStringList cut;
    int windows = 0;
    forEachWindow([&](QWidget &w) {
        QCOMPARE(w.devicePixelRatio(), 2);
        // What the screen shows: the window painted at its scale.
        QCOMPARE(w.grab().devicePixelRatio(), 2.0);
        ++windows;
        cut += cutTexts(w);
    });
    QVERIFY(windows > 20);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("\n"))));
}

QTEST_MAIN(TestFit)
#include "test_fit.moc"
