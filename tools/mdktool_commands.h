#pragma once

// What the mdktool subcommands share: reading a card file as the program
// opens it, opening the view the way the tree and the menu do, saving as
// Save does, the escapes of dump, and the way a refusal is reported. Each
// subcommand file (mdktool_search.cpp, mdktool_shuffle.cpp, ...) declares its
// entry point at the end of this header; mdktool.cpp dispatches to it.

#include "core/deck/categorytree.h"
#include "core/deck/deck.h"
#include "core/deck/filelock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace mdk::tool {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "mdktool: FILE: WHY" on standard error; returns kExitFailure.
int fail(const QString &file, const QString &why);
// Prints the usage text (defined in mdktool.cpp); returns kExitUsage.
int usage();

// Output goes through one buffer flushed in large blocks: a dump of a
// million cards should not cost a million writes.
class Output {
public:
    explicit Output(std::FILE *stream) : stream_(stream) {}
    ~Output() { flush(); }
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    Output &operator<<(const QByteArray &bytes)
    {
        buffer_.append(bytes);
        if (buffer_.size() >= kBlock)
            flush();
        return *this;
    }
    Output &operator<<(const char *text) { return *this << QByteArray(text); }
    Output &operator<<(const QString &text) { return *this << text.toUtf8(); }
    Output &operator<<(char c)
    {
        buffer_.append(c);
        return *this;
    }
    void flush();

private:
    static constexpr qsizetype kBlock = 1 << 16;
    std::FILE *stream_;
    QByteArray buffer_;
};

// UTF-8 with \\ \t \n \r for backslash, tab, LF and CR, as dump writes.
QByteArray escaped(const QString &text);

// Reads a card file the way the program opens one (the view of "Main"). A
// file of an earlier layout is refused: converting it is the program's job.
// False with the message printed and exitCode set when it cannot be read.
bool load(const QString &path, Deck &deck, int &exitCode);

// Whether OUT names IN (also through links or another spelling of the path),
// and the refusal to write onto the input.
bool isInput(const QString &in, const QString &out);
int refuseInput(const QString &out);

// The view options several subcommands share: --category NAME acts as a
// click on NAME in the tree, --subcategories as the menu item that shows a
// category together with its subcategories.
struct ViewChoice {
    QString category = CategoryTree::kMainName;
    bool subcategories = false;
};
// Takes --category NAME (and, when allowed, --subcategories) out of args,
// up to a "--" that ends the options. False on a usage error: an option
// given twice, NAME missing, or --subcategories where it is not allowed.
bool takeViewOptions(QStringList &args, ViewChoice &view, bool allowSubcategories);
// Reads the file and opens the chosen view as the program does: the click
// on the category writes the view of "Main" back first, then the menu item
// turns subcategory mode on. False with the message printed and exitCode
// set when the file cannot be read or has no such category.
bool openView(const QString &path, Deck &deck, const ViewChoice &view, int &exitCode);
// openView for a subcommand that writes out: first refused, with the
// message printed and exitCode set, when out names the input.
bool openViewToRewrite(const QString &in, const QString &out, Deck &deck, const ViewChoice &view,
                       int &exitCode);
// --force: write OUT even while a Mnemodeck window has it open.
extern bool forceWrite;
// Takes OUT's lock for the write, so that a window opening OUT meanwhile
// asks. False, with the message printed and exitCode set, when a window has
// OUT open and --force was not given; nothing may then be written.
bool lockOut(const QString &out, FileLock &lock, int &exitCode);

// Save: the open category folded back, then the whole deck written to out.
// 0, or kExitFailure with the message printed. Never in subcategory mode,
// whose view is never written back.
int save(Deck &deck, const QString &out);

// --- Subcommand entry points; args are the arguments after the command's
// name. Each returns the process's exit code.

// mdktool_search.cpp
int findCommand(const QStringList &args);
int dedupeCommand(const QStringList &args);

// mdktool_shuffle.cpp
int shuffleCommand(const QStringList &args);
int flipCommand(const QStringList &args);

// mdktool_move.cpp
int moveCommand(const QStringList &args);

// mdktool_print.cpp, in a build with the widgets library. It builds its own
// application object from the whole command line.
int printCommand(int &argc, char **argv);

// mdktool_convert.cpp
int convertCommand(const QStringList &args);

// mdktool_merge.cpp
int mergeCommand(const QStringList &args);

// mdktool_versions.cpp
int versionsCommand(const QStringList &args);
int restoreCommand(const QStringList &args);

// mdktool_exchange.cpp
int importCommand(const QStringList &args);
int exportCommand(const QStringList &args);
// mdktool_review.cpp
int statsCommand(const QStringList &args);
int reviewCommand(const QStringList &args);
int progressCommand(const QStringList &args);
int optimiseCommand(const QStringList &args);

} // namespace mdk::tool
