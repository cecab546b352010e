#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The card templates of flashcard packages: "{{Field}}", "{{FrontSide}}",
// sections "{{#Field}}...{{/Field}}" and "{{^Field}}...{{/Field}}", filters
// before the field name ("{{text:Field}}", "{{cloze:Text}}") and cloze
// deletions "{{c1::answer::hint}}" inside a field.
namespace mdk::exchange::apkg {

struct TemplateContext {
    const QStringList *names = nullptr;  // the note type's field names
    const QStringList *values = nullptr; // the note's fields, as HTML
    QString frontSide;                   // what {{FrontSide}} gives
    QString tags, deck, cardName, typeName;
    int cloze = 0;        // the card's cloze number (from 1), 0 for none
    bool question = true; // side 1: the card's cloze is hidden
};

// The template rendered to HTML. Never fails: an unclosed tag is text, a
// section left open runs to the end, an unknown field gives nothing.
QString render(QStringView tmpl, const TemplateContext &context);

// The text with every cloze deletion resolved for the given number: on
// side 1 the card's own deletions become "[...]" or "[hint]", all others
// (and everything on side 2) show their answer.
QString renderCloze(QStringView text, int number, bool question);

// The cloze numbers the text holds, ascending, each once.
std::vector<int> clozeNumbers(QStringView text);

// What a card shows, as our plain text: pictures and sounds left out (their
// file names added to media), scripts and styles dropped, HTML turned to
// text, spaces and empty lines at the edges trimmed.
QString sideText(const QString &html, QStringList *media = nullptr);

// A side 2 without the repeated question: what follows <hr id=answer>.
QString answerPart(const QString &html);

} // namespace mdk::exchange::apkg
