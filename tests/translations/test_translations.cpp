// Every text of the program has a finished German translation, and the
// translated menus keep their accelerator letters usable.

#include "core/shell/commandtable.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTranslator>
#include <QXmlStreamReader>

using namespace mdk;

namespace {

// The %1, %2 ... a text fills in, in order of number.
QStringList placeholders(const QString &text)
{
    QStringList found;
    for (const QRegularExpressionMatch &m : QRegularExpression(QStringLiteral("%(\\d)")).globalMatch(text))
        found << m.captured(0);
    found.sort();
    return found;
}

// The accelerator letters of a menu's texts; a text with none or more than
// one '&' (a doubled "&&" is a literal ampersand) is a failure.
void checkAccelerators(const QString &menu, const QStringList &texts)
{
    QSet<QChar> letters;
    for (const QString &text : texts) {
        QString plain = text;
        plain.replace(QLatin1String("&&"), QLatin1String(""));
        QVERIFY2(plain.count(QLatin1Char('&')) == 1 && !plain.endsWith(QLatin1Char('&')),
                 qPrintable(menu + QLatin1String(": ") + text));
        const QChar letter = plain.at(plain.indexOf(QLatin1Char('&')) + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(menu + QLatin1String(": second &") + letter));
        letters.insert(letter);
    }
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyTextIsTranslated();
    void menusKeepTheirAccelerators();
};

void TestTranslations::everyTextIsTranslated()
{
    QFile file(QStringLiteral(MDK_REFRESHED_TS));
    QVERIFY2(file.open(QIODevice::ReadOnly), MDK_REFRESHED_TS);
    QXmlStreamReader xml(&file);
    QString context, source;
    bool numerus = false;
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            // A text with a count has one translation per plural form.
            QStringList forms;
            if (numerus) {
                while (xml.readNextStartElement())
                    forms << xml.readElementText();
            } else {
                forms << xml.readElementText();
            }
            for (const QString &translation : std::as_const(forms)) {
                QVERIFY2(type.isEmpty() && !translation.isEmpty(), qPrintable(context + QLatin1String(": ") + source));
                QCOMPARE(placeholders(translation), placeholders(source));
            }
            QVERIFY2(!forms.isEmpty(), qPrintable(context + QLatin1String(": ") + source));
            ++messages;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 0);
}

void TestTranslations::menusKeepTheirAccelerators()
{
    QTranslator german;
    QVERIFY2(german.load(QStringLiteral(MDK_QM_FILE)), MDK_QM_FILE);
    const auto translated = [&](const char *source) { return german.translate(kMenuContext, source); };

    QStringList titles;
    for (const char *title : popupTitles())
        titles << translated(title);
    checkAccelerators(QStringLiteral("menu bar"), titles);
    if (QTest::currentTestFailed())
        return;

    QMap<int, QStringList> menus;
    for (const CommandRow &row : commandTable()) {
        QVERIFY2(!translated(row.hint).isEmpty(), row.hint);
        if (row.text)
            menus[int(row.popup)] << translated(row.text);
    }
    for (auto it = menus.cbegin(); it != menus.cend() && !QTest::currentTestFailed(); ++it)
        checkAccelerators(titles.value(it.key()), it.value());
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
