#include "mnemodeckwindow.h"

#include "core/deck/originalfile.h"
#include "core/settings/recentfiles.h"
#include "core/settings/registration.h"
#include "core/settings/settings.h"
#include "core/settings/settingsstore.h"
#include "core/settings/translations.h"
#include "core/shell/commandids.h"
#include "core/study/study.h"
#include "core/study/zoom.h"
#include "gui/common/dialogunits.h"
#include "gui/common/userdialogs.h"
#include "gui/about/aboutcontroller.h"
#include "gui/category/categorycontroller.h"
#include "gui/edit/editcontroller.h"
#include "gui/exchange/exchangecontroller.h"
#include "gui/files/filecommands.h"
#include "gui/files/opendocument.h"
#include "gui/files/recoverycontroller.h"
#include "gui/files/transfercontroller.h"
#include "gui/files/versioncontroller.h"
#include "gui/help/helpcontroller.h"
#include "gui/notepad/notepadcontroller.h"
#include "gui/print/printcontroller.h"
#include "gui/review/reviewcontroller.h"
#include "gui/search/searchcontroller.h"
#include "gui/shell/mdkmaindlg.h"
#include "gui/study/studycontroller.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

// The artwork lives in a static library, whose resource initialiser the
// linker would otherwise drop.
static void initResources() { Q_INIT_RESOURCE(mnemodeck); }

namespace mdk {

namespace {

constexpr int kStatusMessageMs = 3000;
constexpr int kClockMs = 500;
constexpr QSize kGlyphSize{25, 22};

// The widest text a format can produce in this font, so that no time or
// date is ever clipped.
int widestTime(const QFontMetrics &fm)
{
    int widest = 0;
    for (int h = 0; h < 24; ++h)
        for (int m = 0; m < 60; ++m)
            widest = std::max(widest, fm.horizontalAdvance(clock::timeText(QTime(h, m))));
    return widest;
}

int widestDate(const QFontMetrics &fm)
{
    QChar digit = QLatin1Char('0');
    for (char c = '0'; c <= '9'; ++c)
        if (fm.horizontalAdvance(QLatin1Char(c)) > fm.horizontalAdvance(digit))
            digit = QLatin1Char(c);
    const QString year(4, digit);
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= 31; ++day)
            widest = std::max(widest, fm.horizontalAdvance(QStringLiteral("%1/%2/").arg(month).arg(day) + year));
    return widest;
}

// The card-file icon at the sizes the desktop asks for, as PNG.
std::vector<registration::Icon> cardFileIcons()
{
    std::vector<registration::Icon> icons;
    const QImage art(QStringLiteral(":/icons/icon2.png"));
    if (art.isNull())
        return icons;
    // Whole multiples keep the pixel art sharp.
    for (int scale : {1, 2, 4}) {
        const QImage image = art.scaled(art.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (image.save(&buffer, "PNG"))
            icons.push_back({image.width(), png});
    }
    return icons;
}

} // namespace

MnemodeckWindow::MnemodeckWindow(UserDialogs *dialogs, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtUserDialogs>()),
      dialogs_(dialogs ? dialogs : ownDialogs_.get())
{
    initResources();
    deck_.setHistoryEnabled(true);
    setObjectName(QStringLiteral("MnemodeckWindow"));
    setWindowTitle(QStringLiteral("Mnemodeck"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/icon1.png")));

    client_ = new MDKMainDlg(deck_, this);
    setCentralWidget(client_);
    connect(client_, &MDKMainDlg::cardCaption, this, &MnemodeckWindow::setStatusLine);
    connect(client_, &MDKMainDlg::stateChanged, this, &MnemodeckWindow::updateCommands);
    connect(client_, &MDKMainDlg::zoomChanged, this, [this](int percent) {
        options_.Zoom = percent;
        ShowStatusMessage(zoom::statusText(percent));
    });

    // The subsystems, each binding its own commands; a new one is one line
    // here (and a connection for any signal of its own).
    const CommandContext context{deck_, options_, *dialogs_, this};
    // The open card file, shared by the file and the transfer commands.
    document_ = new OpenDocument(context, open_, this);
    auto *files = new FileCommands(context, *document_, this);
    auto *help = new HelpController(context, open_, this);
    auto *notepad = new NotepadController(context, this);
    auto *about = new AboutController(context, this);
    auto *search = new SearchController(context, this);
    auto *review = new ReviewController(context, open_, this);
    for (CommandController *controller : std::initializer_list<CommandController *>{
             files, new StudyController(context, open_, this), help, new EditController(context, this), search,
             new CategoryController(context, this), notepad, about, new PrintController(context, open_, this),
             new TransferController(context, *document_, this), new VersionController(context, *document_, this),
             new ExchangeController(context, this), review}) {
        addController(controller);
        connect(controller, &CommandController::helpRequested, help, &HelpController::openHelp);
    }
    connectFileCommands(files);
    recovery_ = new RecoveryController(context, *document_, this);
    connect(recovery_, &RecoveryController::statusMessage, this, &MnemodeckWindow::ShowStatusMessage);
    connect(recovery_, &RecoveryController::captionChanged, this, &QWidget::setWindowTitle);
    connect(client_, &MDKMainDlg::stateChanged, recovery_, &RecoveryController::deckTouched);
    connect(notepad, &NotepadController::notepadChanged, this, &MnemodeckWindow::updateCommands);
    connect(about, &AboutController::aboutChanged, this, &MnemodeckWindow::updateCommands);
    connect(about, &AboutController::reseedRequested, search, &SearchController::reseed);

    buildCommands();
    buildMenus();
    buildToolBar();
    buildStatusBar();
    connect(review, &ReviewController::dueChanged, dueGadget_, [this](const QString &text) {
        dueGadget_->setText(text);
        dueGadget_->setVisible(!text.isEmpty());
    });
    connect(client_, &MDKMainDlg::stateChanged, review, &ReviewController::deckTouched);
    connect(document_, &OpenDocument::captionChanged, review, &ReviewController::deckTouched);
    review->countDue();

    clockTimer_.setInterval(kClockMs);
    connect(&clockTimer_, &QTimer::timeout, this, [this] { EvTimer(1); });
    messageTimer_.setSingleShot(true);
    connect(&messageTimer_, &QTimer::timeout, this, [this] { EvTimer(3); });
}

MnemodeckWindow::~MnemodeckWindow() = default;

template <class Controller>
Controller &MnemodeckWindow::commands() const
{
    for (CommandController *c : controllers_)
        if (auto *found = qobject_cast<Controller *>(c))
            return *found;
    qFatal("no controller of that class");
}

FileCommands &MnemodeckWindow::fileCommands() const { return commands<FileCommands>(); }
StudyController &MnemodeckWindow::studyCommands() const { return commands<StudyController>(); }
HelpController &MnemodeckWindow::helpCommands() const { return commands<HelpController>(); }
EditController &MnemodeckWindow::editCommands() const { return commands<EditController>(); }
SearchController &MnemodeckWindow::searchCommands() const { return commands<SearchController>(); }
CategoryController &MnemodeckWindow::categoryCommands() const { return commands<CategoryController>(); }
NotepadController &MnemodeckWindow::notepadCommands() const { return commands<NotepadController>(); }
AboutController &MnemodeckWindow::aboutCommands() const { return commands<AboutController>(); }
TransferController &MnemodeckWindow::transferCommands() const { return commands<TransferController>(); }
PrintController &MnemodeckWindow::printCommands() const { return commands<PrintController>(); }

void MnemodeckWindow::addController(CommandController *controller)
{
    controllers_.push_back(controller);
    for (auto it = controller->handlers().cbegin(); it != controller->handlers().cend(); ++it) {
        // Two subsystems claiming one command is a wiring fault: one of
        // them would silently never run.
        if (handlers_.contains(it.key()))
            qFatal("command %d is bound by two controllers", it.key());
        handlers_.insert(it.key(), it.value());
    }
    connect(controller, &CommandController::statusMessage, this, &MnemodeckWindow::ShowStatusMessage);
}

void MnemodeckWindow::connectFileCommands(FileCommands *files)
{
    connect(files, &FileCommands::captionChanged, this, &QWidget::setWindowTitle);
    connect(files, &FileCommands::deckSaved, client_, &MDKMainDlg::expandTree);
    connect(files, &FileCommands::recentFilesChanged, this, &MnemodeckWindow::updateRecentFiles);
    connect(files, &FileCommands::cardFontChanged, this, [this] {
        applyCardFont();
        client_->SetText();
    });
    connect(files, &FileCommands::exitRequested, this, &QWidget::close);
}

// ---- Commands, menus and tool bar ----

void MnemodeckWindow::buildCommands()
{
    for (const CommandRow &row : commandTable()) {
        auto *action = new QAction(row.text ? QCoreApplication::translate(kMenuContext, row.text) : QString(), this);
        action->setData(row.id);
        if (row.key)
            action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(row.key)));
        // The frame's own window, the tree included; keys typed in the
        // notepad, About or help window stay there.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setStatusTip(QCoreApplication::translate(kMenuContext, row.hint));
        if (row.text)
            action->setToolTip(QCoreApplication::translate(kMenuContext, row.text).remove(QLatin1Char('&')));
        action->setCheckable(row.checked != nullptr);
        action->setEnabled(false);
        action->setIcon(QIcon(QStringLiteral(":/glyphs/%1.png").arg(row.id)));
        action->setIconVisibleInMenu(false);
        const int id = row.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_.insert(row.id, action);
    }
}

void MnemodeckWindow::buildMenus()
{
    const auto titles = popupTitles();
    for (size_t p = 0; p < titles.size(); ++p) {
        QMenu *menu = menuBar()->addMenu(QCoreApplication::translate(kMenuContext, titles[p]));
        menus_.insert(int(p), menu);
        connect(menu, &QMenu::aboutToShow, this, &MnemodeckWindow::updateCommands);
    }
    for (const CommandRow &row : commandTable()) {
        QMenu *menu = menus_.value(int(row.popup));
        if (row.separatorBefore)
            menu->addSeparator();
        // The recent files sit between separators 807 and 806, shown only
        // while the list holds a file.
        if (row.id == CM_FILE1 || row.id == CM_EXIT) {
            QAction *sep = menu->addSeparator();
            sep->setData(row.id == CM_FILE1 ? recent::kSeparatorAboveId : recent::kSeparatorBelowId);
            recentSeparators_.push_back(sep);
        }
        menu->addAction(actions_.value(row.id));
    }
    updateRecentFiles();
}

void MnemodeckWindow::buildToolBar()
{
    toolBar_ = new QToolBar(tr("Tool bar"), this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(kGlyphSize);
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    for (int id : toolBarLayout()) {
        if (id == 0)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(actions_.value(id));
    }
    // A glyph's name is its command's text ("New" twice, for a file and a
    // category); the hint tells a screen reader which.
    for (QAction *action : toolBar_->actions()) {
        if (QWidget *button = toolBar_->widgetForAction(action))
            button->setAccessibleDescription(action->statusTip());
    }
    // Qt's button for the glyphs a narrow bar cannot show has no name.
    if (auto *more = toolBar_->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(tr("More tools"));
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void MnemodeckWindow::buildStatusBar()
{
    QStatusBar *status = statusBar();
    status->setSizeGripEnabled(false);
    messageArea_ = new QLabel(status);
    messageArea_->setObjectName(QStringLiteral("MessageArea"));
    status->addWidget(messageArea_, 1);
    const QFontMetrics fm(status->font());
    const int widths[] = {widestTime(fm), widestDate(fm)};
    QLabel **gadgets[] = {&timeGadget_, &dateGadget_};
    for (int i = 0; i < 2; ++i) {
        QLabel *gadget = *gadgets[i] = new QLabel(status);
        gadget->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        gadget->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        gadget->setIndent(3);
        const QMargins m = gadget->contentsMargins();
        gadget->setFixedWidth(widths[i] + m.left() + m.right() + 2 * gadget->frameWidth() + 2 * 3 + 2);
        status->addPermanentWidget(gadget);
    }
    // The open view's due and new cards, while there is a review progress.
    dueGadget_ = new QLabel(status);
    dueGadget_->setObjectName(QStringLiteral("DueGadget"));
    dueGadget_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    dueGadget_->setIndent(3);
    dueGadget_->setAccessibleName(tr("Cards to review"));
    dueGadget_->hide();
    status->insertPermanentWidget(1, dueGadget_); // after the message area, before the clock
    timeGadget_->setObjectName(QStringLiteral("TimeGadget"));
    dateGadget_->setObjectName(QStringLiteral("DateGadget"));
}

void MnemodeckWindow::updateRecentFiles()
{
    const recent::FileMenu menu = recent::UpdateFileMenu(options_.files);
    for (int k = 1; k <= recent::kListSize; ++k) {
        QAction *item = actions_.value(CM_FILE1 + k - 1);
        const bool listed = k <= menu.items.size();
        // A name is shown as it is: "R&D" is no mnemonic.
        const QString name = options_.files[size_t(k)].name;
        item->setText(listed ? recent::itemText(k, QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")))
                             : QString());
        item->setVisible(listed);
    }
    for (QAction *sep : recentSeparators_)
        sep->setVisible(menu.separators);
    updateCommands();
}

EnableState MnemodeckWindow::enableState() const
{
    return {deck_, options_, commands<NotepadController>().NotepadOn(), commands<AboutController>().AboutIsOpen(),
            commands<EditController>().copyMemory().cardinmemory != 0, document_->hasVersions()};
}

bool MnemodeckWindow::commandEnabled(int id) const
{
    const CommandRow *row = findCommand(id);
    if (!row || !handlers_.contains(id))
        return false;
    return !row->enabler || row->enabler(enableState());
}

void MnemodeckWindow::updateCommands()
{
    const EnableState state = enableState();
    for (const CommandRow &row : commandTable()) {
        QAction *action = actions_.value(row.id);
        action->setEnabled(commandEnabled(row.id));
        if (row.currentText)
            action->setText(row.currentText(state));
        if (row.checked)
            action->setChecked(row.checked(state));
    }
}

void MnemodeckWindow::runCommand(int id)
{
    if (!commandEnabled(id))
        return;
    // A command may open a dialog that takes the mouse: a held button's
    // stepping ends here, and the command acts on the card shown now.
    client_->stopAutoRepeat();
    // Whatever the command changes is one step for undo.
    const QString step = stepName(id);
    if (!step.isEmpty())
        deck_.beginStep(step);
    handlers_.value(id)();
    if (!step.isEmpty())
        deck_.endStep();
    recovery_->deckTouched();
    commands<ReviewController>().deckTouched();
    // The handler changed only the deck: show what moved.
    client_->refresh();
    // After a command's dialog the keys belong to the window again, even
    // where no window manager hands the focus back; a modeless window the
    // command opened keeps them.
    if (isVisible() && !QApplication::activeWindow() && !QApplication::activeModalWidget())
        activateWindow();
    updateCommands();
}

// ---- Status line and clock ----

void MnemodeckWindow::ShowStatusMessage(const QString &text)
{
    messageTimer_.start(kStatusMessageMs);
    messageArea_->setText(translations::text(text));
    ShowingMessage = true;
}

void MnemodeckWindow::endStatusMessage()
{
    messageTimer_.stop();
    ShowingMessage = false;
    messageArea_->setText(deck_.viewCount() > 0 ? study::cardCaption(deck_) : QString());
}

void MnemodeckWindow::setStatusLine(const QString &text)
{
    if (!ShowingMessage)
        messageArea_->setText(text);
}

QString MnemodeckWindow::statusText() const { return messageArea_->text(); }
QString MnemodeckWindow::timeText() const { return timeGadget_->text(); }
QString MnemodeckWindow::dateText() const { return dateGadget_->text(); }

void MnemodeckWindow::SetTime(const QDateTime &now)
{
    const clock::Clock::Update update = clock_.tick(now);
    if (update.time)
        timeGadget_->setText(*update.time);
    if (update.date)
        dateGadget_->setText(*update.date);
}

void MnemodeckWindow::SetDate(const QDate &today) { dateGadget_->setText(clock::dateText(today)); }

void MnemodeckWindow::EvTimer(int id)
{
    if (id == 1)
        SetTime();
    else if (id == 3)
        endStatusMessage();
}

// ---- Set-up ----

void MnemodeckWindow::useSettings(const QString &currentUserFile, const QString &classesRootFile,
                                  const QString &loadDirectory)
{
    settings_ = std::make_unique<SettingsStore>(currentUserFile, classesRootFile);
    loadDirectory_ = loadDirectory;
}

void MnemodeckWindow::loadSettings()
{
    if (!settings_)
        return;
    settings::readFramePosition(*settings_, options_);
    settings::LoadINI(*settings_, options_, loadDirectory_);
    updateRecentFiles();
}

void MnemodeckWindow::saveSettings()
{
    if (!settings_)
        return;
    settings::FramePlacement placement;
    placement.topLeft = pos();
    placement.frameSize = frameGeometry().size();
    placement.screenSize = screen() ? screen()->size() : placement.frameSize;
    settings::SaveINI(*settings_, options_, placement);
}

void MnemodeckWindow::registerWithDesktop(const QString &programPath, const QString &dataHome,
                                          const QString &templates)
{
    if (settings_) {
        registration::Setup setup;
        setup.programPath = programPath;
        setup.dataHome = dataHome;
        setup.icons = cardFileIcons();
        registration::RegisterProgram(*settings_, setup);
    }
    originalfile::CreateOriginalFile(templates);
}

void MnemodeckWindow::applyCardFont()
{
    client_->setCardFont(options_.LUsingFont);
    client_->setZoom(options_.Zoom);
}

void MnemodeckWindow::SetupWindow()
{
    clockTimer_.start();
    loadSettings();
    applyCardFont();
    client_->RefreshTree();
    SetDate();
    SetTime();
    updateCommands();
}

void MnemodeckWindow::sizeFrame()
{
    setFixedSize(dlu::frameSize(client_->templateSize(), menuBar()->sizeHint().height()));
    if (const QScreen *where = screen())
        settings::keepFrameOnScreen(options_, frameGeometry().size(), where->size());
    move(options_.Xpos, options_.Ypos);
}

void MnemodeckWindow::LoadStartupFileFn(const StartupFile &startup)
{
    if (startup.LoadStartupSure) {
        // The file is found case-insensitively in its folder; only a file
        // that was read becomes the open one and enters the recent files.
        fileCommands().LoadStartupFile(startup.LoadStartupPath, startup.LoadStartupFile);
    }
    recovery_->offerAtStartup();
    // The greeting is for a start with nothing to show; a recovered deck is
    // something.
    if (!startup.LoadStartupSure && !deck_.changed())
        aboutCommands().NewIntroWindow();
    client_->refresh();
    updateCommands();
}

// ---- Closing ----

void MnemodeckWindow::closeEvent(QCloseEvent *event)
{
    // Typed notes first: kept notes keep the window, before the deck's
    // question could let its changes go. Then one question about the deck;
    // a Yes whose save did not happen (dialog cancelled, write failed) keeps
    // the window open rather than losing the changes.
    const bool leave = notepadCommands().closeForExit() && fileCommands().SaveBeforeExit();
    saveSettings();
    if (!leave) {
        event->ignore();
        return;
    }
    clockTimer_.stop();
    messageTimer_.stop();
    client_->stopAutoRepeat();
    document_->closeFile();
    event->accept();
}

} // namespace mdk
