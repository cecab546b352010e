#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QWidget;

namespace mdk {

class Deck;
class UserDialogs;
struct Options;

// What every controller works on: the document (deck and options), the
// dialogs it asks through, and the window its dialogs belong to.
struct CommandContext {
    Deck &deck;
    Options &options;
    UserDialogs &dialogs;
    QWidget *window = nullptr;
};

// A subsystem's commands: it binds its own command ids to its handlers and
// tells the window what happened through signals. The frame runs a handler
// only while the command's enabler allows it, and afterwards redraws the
// card and the tree when the deck's revisions say they changed, so a
// handler only changes the deck.
class CommandController : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    const QHash<int, Handler> &handlers() const { return handlers_; }

Q_SIGNALS:
    // A confirmation in the status line for three seconds.
    void statusMessage(const QString &text);
    // A dialog's Help button: topic of the help file, and the dialog.
    void helpRequested(int topic, QWidget *owner);

protected:
    CommandController(const CommandContext &context, QObject *parent)
        : QObject(parent), deck_(context.deck), options_(context.options), dialogs_(context.dialogs),
          window_(context.window)
    {
    }

    void bind(int id, Handler handler) { handlers_.insert(id, std::move(handler)); }
    // A handler's result (whether a save happened, say) is for other
    // callers; the menu ignores it.
    template <class Controller, class Result>
    void bind(int id, Result (Controller::*handler)())
    {
        handlers_.insert(id, [this, handler] { (static_cast<Controller *>(this)->*handler)(); });
    }

    Deck &deck_;
    Options &options_;
    UserDialogs &dialogs_;
    QWidget *window_;

private:
    QHash<int, Handler> handlers_;
};

} // namespace mdk
