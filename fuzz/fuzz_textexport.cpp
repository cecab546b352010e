// libFuzzer target for a text export's header block and the HTML to text
// conversion. The input up to the first NUL is the header block (each line
// made a "#" line), the rest the first card's side 1 as HTML. Any bytes must
// read without crashing; no 0x07 or NUL may reach a card; text written the
// way our text export writes it must come back unchanged through the
// conversion.

#include "core/exchange/exchange.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace mdk::exchange;

[[noreturn]] void failed(const char *why)
{
    std::fprintf(stderr, "text export: %s\n", why);
    std::abort();
}

// The escaping of our text export: markup characters and the characters
// that would end the line as references, CR LF as <br>.
QString asHtml(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'\t': out += QLatin1String("&#9;"); break;
        case u'\n': out += QLatin1String("&#10;"); break;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                out += QLatin1String("<br>");
                ++i;
            } else {
                out += QLatin1String("&#13;");
            }
            break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    const size_t nul = input.find('\0');
    const std::string_view header = input.substr(0, nul);
    const std::string_view body = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

    QByteArray file;
    for (size_t start = 0; start <= header.size();) {
        const size_t end = std::min(header.find('\n', start), header.size());
        file += '#';
        file += QByteArray(header.data() + start, qsizetype(end - start));
        file += '\n';
        start = end + 1;
    }
    QByteArray line(body.data(), qsizetype(body.size()));
    line.replace('\n', ' ');
    line.replace('\0', ' ');
    file += line + "\tside 2\n";
    const ParsedImport parsed = parse(std::string_view(file.constData(), size_t(file.size())), ImportOptions());
    for (const ImportedCard &card : parsed.cards)
        for (const QString &side : {card.side1, card.side2})
            if (side.contains(QChar(7)) || side.contains(QChar(0)))
                failed("a card holds 0x07 or NUL");

    const QString html = QString::fromUtf8(body.data(), qsizetype(body.size()));
    const QString text = htmlToText(html);
    if (!html.contains(QChar(7)) && text.contains(QChar(7)))
        failed("the conversion made a 0x07");
    if (!html.contains(u'<') && !html.contains(u'&') && text != html)
        failed("plain text changed");
    if (htmlToText(asHtml(html)) != html)
        failed("escaped text does not come back");
    return 0;
}
