#include "apkgtemplate.h"

#include "exchange.h"

#include <QRegularExpression>

#include <algorithm>

namespace mdk::exchange::apkg {

namespace {

// Deeper nesting than any real template; past it the rest is plain text,
// so a hostile template cannot exhaust the stack.
constexpr int kMaxDepth = 32;

int fieldIndex(const TemplateContext &c, QStringView name)
{
    if (!c.names)
        return -1;
    for (qsizetype i = 0; i < c.names->size(); ++i)
        if ((*c.names)[i] == name)
            return int(i);
    for (qsizetype i = 0; i < c.names->size(); ++i)
        if ((*c.names)[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString fieldValue(const TemplateContext &c, QStringView name, bool *known = nullptr)
{
    if (known)
        *known = true;
    if (name == u"FrontSide")
        return c.frontSide;
    if (name == u"Tags")
        return c.tags;
    if (name == u"Deck")
        return c.deck;
    if (name == u"Subdeck")
        return c.deck.mid(c.deck.lastIndexOf(QLatin1String("::")) + (c.deck.contains(QLatin1String("::")) ? 2 : 0));
    if (name == u"Card")
        return c.cardName;
    if (name == u"Type")
        return c.typeName;
    const int i = fieldIndex(c, name);
    if (i >= 0 && c.values && i < c.values->size())
        return (*c.values)[i];
    if (known)
        *known = i >= 0;
    return {};
}

// A field counts as empty when it holds only spaces and bare line breaks.
bool nonEmpty(const QString &value)
{
    static const QRegularExpression blank(QStringLiteral("^(?:\\s|&nbsp;|</?(?:br|div)\\s*/?>)*$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return !blank.match(value).hasMatch();
}

QString applyFilters(QString value, QStringView filters, const TemplateContext &c)
{
    // Filters apply right to left: "text:cloze:X" runs cloze first.
    const QList<QStringView> list = filters.split(u':', Qt::SkipEmptyParts);
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        const QStringView f = it->trimmed();
        if (f == u"cloze")
            value = renderCloze(value, c.cloze, c.question);
        else if (f == u"text")
            value = htmlToText(value).toHtmlEscaped();
        else if (f == u"type" || f.startsWith(u"tts"))
            value.clear(); // typing boxes and speech show nothing in text
        else if (f == u"kanji")
            value.remove(QRegularExpression(QStringLiteral("\\[[^\\]]*\\]")));
        else if (f == u"kana")
            value.replace(QRegularExpression(QStringLiteral("\\s?[^\\s\\[]*\\[([^\\]]*)\\]")), QStringLiteral("\\1"));
        // hint, furigana and others: the field as it is
    }
    return value;
}

struct Renderer {
    QStringView t;
    const TemplateContext &c;
    qsizetype pos = 0;

    // Renders up to "{{/section}}" (or the end) into out when emit is set.
    void run(QString &out, bool emit, QStringView section, int depth)
    {
        while (pos < t.size()) {
            const qsizetype open = t.indexOf(QLatin1String("{{"), pos);
            if (open < 0) {
                if (emit)
                    out += t.mid(pos);
                pos = t.size();
                return;
            }
            const qsizetype close = t.indexOf(QLatin1String("}}"), open + 2);
            if (close < 0) {
                if (emit)
                    out += t.mid(pos);
                pos = t.size();
                return;
            }
            if (emit)
                out += t.mid(pos, open - pos);
            const QStringView tag = t.mid(open + 2, close - open - 2).trimmed();
            pos = close + 2;
            if (tag.startsWith(u'/')) {
                if (tag.mid(1).trimmed() == section)
                    return;
                continue; // a stray closing tag shows nothing
            }
            if ((tag.startsWith(u'#') || tag.startsWith(u'^')) && depth < kMaxDepth) {
                const QStringView name = tag.mid(1).trimmed();
                const bool filled = nonEmpty(fieldValue(c, name.mid(name.lastIndexOf(u':') + 1)));
                run(out, emit && (tag.startsWith(u'#') ? filled : !filled), name, depth + 1);
                continue;
            }
            if (!emit)
                continue;
            const qsizetype colon = tag.lastIndexOf(u':');
            const QStringView name = tag.mid(colon + 1).trimmed();
            out += applyFilters(fieldValue(c, name), colon < 0 ? QStringView() : tag.left(colon), c);
        }
    }
};

struct Cloze {
    qsizetype start = 0, end = 0; // the whole "{{cN::...}}"
    int number = 0;
    qsizetype bodyStart = 0, bodyEnd = 0, hintStart = -1;
};

// The deletion starting at i, with its matching "}}" (deletions nest).
bool clozeAt(QStringView s, qsizetype i, Cloze &z)
{
    if (!s.mid(i).startsWith(QLatin1String("{{c")))
        return false;
    qsizetype j = i + 3;
    int number = 0;
    while (j < s.size() && s[j].isDigit() && number < 100000)
        number = number * 10 + s[j++].digitValue();
    if (j == i + 3 || !s.mid(j).startsWith(QLatin1String("::")))
        return false;
    z.start = i;
    z.number = number;
    z.bodyStart = j + 2;
    z.hintStart = -1;
    int depth = 0;
    for (qsizetype k = z.bodyStart; k + 1 < s.size(); ++k) {
        if (s[k] == u'{' && s[k + 1] == u'{') {
            ++depth;
            ++k;
        } else if (s[k] == u'}' && s[k + 1] == u'}') {
            if (depth == 0) {
                z.bodyEnd = z.hintStart >= 0 ? z.hintStart - 2 : k;
                z.end = k + 2;
                return true;
            }
            --depth;
            ++k;
        } else if (depth == 0 && z.hintStart < 0 && s[k] == u':' && s[k + 1] == u':') {
            z.hintStart = k + 2;
            ++k;
        }
    }
    return false;
}

void clozeInto(QStringView s, int number, bool question, QString &out, int depth)
{
    qsizetype pos = 0;
    while (pos < s.size()) {
        const qsizetype i = s.indexOf(QLatin1String("{{c"), pos);
        Cloze z;
        if (i < 0 || depth >= kMaxDepth) {
            out += s.mid(pos);
            return;
        }
        if (!clozeAt(s, i, z)) {
            out += s.mid(pos, i + 3 - pos);
            pos = i + 3;
            continue;
        }
        out += s.mid(pos, i - pos);
        if (question && z.number == number) {
            const QStringView hint = z.hintStart >= 0 ? s.mid(z.hintStart, z.end - 2 - z.hintStart) : QStringView();
            out += u'[';
            out += hint.trimmed().isEmpty() ? QStringView(u"...") : hint;
            out += u']';
        } else {
            clozeInto(s.mid(z.bodyStart, z.bodyEnd - z.bodyStart), number, question, out, depth + 1);
        }
        pos = z.end;
    }
}

void numbersInto(QStringView s, std::vector<int> &out, int depth)
{
    for (qsizetype i = s.indexOf(QLatin1String("{{c")); i >= 0; i = s.indexOf(QLatin1String("{{c"), i + 3)) {
        Cloze z;
        if (!clozeAt(s, i, z))
            continue;
        out.push_back(z.number);
        if (depth < kMaxDepth)
            numbersInto(s.mid(z.bodyStart, z.bodyEnd - z.bodyStart), out, depth + 1);
        i = z.end - 3;
    }
}

} // namespace

QString render(QStringView tmpl, const TemplateContext &context)
{
    QString out;
    Renderer r{tmpl, context};
    while (r.pos < tmpl.size())
        r.run(out, true, QStringView(), 0);
    return out;
}

QString renderCloze(QStringView text, int number, bool question)
{
    QString out;
    out.reserve(text.size());
    clozeInto(text, number, question, out, 0);
    return out;
}

std::vector<int> clozeNumbers(QStringView text)
{
    std::vector<int> numbers;
    numbersInto(text, numbers, 0);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

QString answerPart(const QString &html)
{
    static const QRegularExpression hr(QStringLiteral("<hr\\s+id\\s*=\\s*[\"']?answer[\"']?\\s*/?>"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = hr.match(html);
    return m.hasMatch() ? html.mid(m.capturedEnd()) : html;
}

QString sideText(const QString &html, QStringList *media)
{
    QString s = html;
    if (s.contains(u'<') || s.contains(u'[')) {
        static const QRegularExpression blocks(QStringLiteral("<(script|style)\\b[^>]*>.*?</\\1\\s*>"),
                                               QRegularExpression::CaseInsensitiveOption
                                                   | QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression sound(QStringLiteral("\\[sound:([^\\]]*)\\]"));
        static const QRegularExpression img(QStringLiteral("<(?:img|audio|video|source)\\b[^>]*?\\bsrc\\s*=\\s*"
                                                           "(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
        s.remove(blocks);
        if (media) {
            for (auto it = sound.globalMatch(s); it.hasNext();)
                *media << it.next().captured(1);
            for (auto it = img.globalMatch(s); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                *media << m.captured(1) + m.captured(2) + m.captured(3);
            }
        }
        s.remove(sound);
        s.remove(img);
    }
    // Line ends in HTML source are spaces; only markup breaks lines.
    s.replace(u'\n', u' ');
    s.replace(u'\r', u' ');
    s = htmlToText(s);
    QStringList lines = s.split(QLatin1String("\r\n"));
    for (QString &line : lines)
        line = line.simplified();
    while (!lines.isEmpty() && lines.front().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1String("\r\n"));
}

} // namespace mdk::exchange::apkg
