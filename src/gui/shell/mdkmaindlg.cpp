#include "mdkmaindlg.h"

#include "core/shell/commandids.h"
#include "gui/common/dialogfont.h"
#include "gui/common/logfontqt.h"
#include "gui/category/categorytreewidget.h"
#include "gui/common/waitcursor.h"
#include "gui/files/filecommands.h"
#include "gui/study/carddisplay.h"
#include "core/study/study.h"

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

// The artwork lives in a static library, whose resource initialiser the
// linker would otherwise drop.
static void initResources() { Q_INIT_RESOURCE(mnemodeck); }

namespace mdk {

namespace {
constexpr int kPageStep = 14;
constexpr int kStatusMessageMs = 3000;
constexpr int kClockMs = 500;
constexpr int kGadgetChars = 10;
constexpr QSize kGlyphSize{25, 22};
} // namespace

MDKMainDlg::MDKMainDlg(UserDialogs *dialogs, QWidget *parent)
    : QWidget(parent),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtUserDialogs>()),
      dialogs_(dialogs ? dialogs : ownDialogs_.get())
{
    initResources();
    setObjectName(QStringLiteral("MainWindow"));
    setFont(dlu::dialogFont());
    const dlu::BaseUnits base = dlu::baseUnits(font());

    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("CategoriesTree"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(true);
    tree_->setGeometry(dlu::toPixels(dlu::mainwindow::kCategoriesTree, base));
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { TvnSelChanged(); });

    display_ = new CardDisplay(this);
    display_->setObjectName(QStringLiteral("CardDisplay"));
    display_->setGeometry(dlu::toPixels(dlu::mainwindow::kCardDisplay, base));

    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName(QStringLiteral("CardScrollBar"));
    scrollBar_->setGeometry(dlu::toPixels(dlu::mainwindow::kCardScrollBar, base));
    scrollBar_->setRange(0, 0);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(kPageStep);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this] { ScrollCard(); });

    timer1_.setInterval(kClockMs);
    connect(&timer1_, &QTimer::timeout, this, [this] { EvTimer(1); });
    connect(&timer2_, &QTimer::timeout, this, [this] { EvTimer(2); });
    timer3_.setSingleShot(true);
    connect(&timer3_, &QTimer::timeout, this, [this] { EvTimer(3); });

    pointerPosition = [] { return QCursor::pos(); };
    buildCommands();
    initFileCommands();
}

MDKMainDlg::~MDKMainDlg()
{
    // The tree widget would delete a deep tree's items recursively.
    categorytreewidget::clear(*tree_);
}

QSize MDKMainDlg::templateSize() const
{
    return dlu::toPixels(dlu::mainwindow::kSize, dlu::baseUnits(font()));
}

void MDKMainDlg::buildCommands()
{
    for (const CommandRow &row : commandTable()) {
        auto *action = new QAction(QString::fromUtf8(row.text), this);
        action->setData(row.id);
        if (row.key)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.key)));
        // Application-wide, so the keys also work while the tree has focus.
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setStatusTip(QString::fromUtf8(row.hint));
        action->setToolTip(QString::fromUtf8(row.text).remove(QLatin1Char('&')));
        action->setCheckable(row.checkable);
        action->setEnabled(false);
        action->setIcon(QIcon(QStringLiteral(":/glyphs/%1.png").arg(row.id)));
        action->setIconVisibleInMenu(false);
        const int id = row.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        actions_.insert(row.id, action);
    }
}

void MDKMainDlg::attachFrame(QMainWindow *frame)
{
    frame_ = frame;

    // Menu bar: the pop-ups in order, each item from its table row.
    QMenuBar *bar = frame->menuBar();
    const auto titles = popupTitles();
    for (size_t p = 0; p < titles.size(); ++p) {
        QMenu *menu = bar->addMenu(QString::fromUtf8(titles[p]));
        menus_.insert(int(p), menu);
        connect(menu, &QMenu::aboutToShow, this, &MDKMainDlg::updateCommands);
    }
    for (const CommandRow &row : commandTable()) {
        QMenu *menu = menus_.value(int(row.popup));
        if (row.separatorBefore)
            menu->addSeparator();
        menu->addAction(actions_.value(row.id));
    }

    // Tool bar.
    toolBar_ = new QToolBar(QStringLiteral("Tool bar"), frame);
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
    frame->addToolBar(Qt::TopToolBarArea, toolBar_);

    // Status bar: the stretching message area, then time and date.
    QStatusBar *status = frame->statusBar();
    status->setSizeGripEnabled(false);
    messageArea_ = new QLabel(status);
    messageArea_->setObjectName(QStringLiteral("MessageArea"));
    status->addWidget(messageArea_, 1);
    const int gadgetWidth = fontMetrics().averageCharWidth() * kGadgetChars + 8;
    for (QLabel **gadget : {&timeGadget_, &dateGadget_}) {
        *gadget = new QLabel(status);
        (*gadget)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        (*gadget)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        (*gadget)->setFixedWidth(gadgetWidth);
        status->addPermanentWidget(*gadget);
    }
    timeGadget_->setObjectName(QStringLiteral("TimeGadget"));
    dateGadget_->setObjectName(QStringLiteral("DateGadget"));
}

void MDKMainDlg::SetupWindow()
{
    deck.tree.reset();
    deck.OldTreeName = CategoryTree::kMainName;
    scrollBar_->setRange(0, 0);
    scrollBar_->setValue(0);
    timer1_.start();
    if (hooks.loadSettings)
        hooks.loadSettings();
    ApplyCardFont();
    RefreshTree();
    SetDate();
    SetTime();
    updateCommands();
}

QMenu *MDKMainDlg::popupMenu(Popup popup) const { return menus_.value(int(popup)); }

bool MDKMainDlg::commandEnabled(int id) const
{
    const CommandRow *row = findCommand(id);
    if (!row || !row->handler)
        return false;
    return !row->enabler || row->enabler(enableState());
}

void MDKMainDlg::updateCommands()
{
    for (const CommandRow &row : commandTable()) {
        QAction *action = actions_.value(row.id);
        action->setEnabled(commandEnabled(row.id));
        if (row.checkable)
            action->setChecked(row.id == CM_VIEWSUBCATEGORIES && deck.ShowSubCategories);
    }
    enableRecentFiles();
}

void MDKMainDlg::runCommand(int id)
{
    const CommandRow *row = findCommand(id);
    if (!row || !commandEnabled(id))
        return;
    (this->*(row->handler))();
    updateCommands();
}

// ---- Status line ----

void MDKMainDlg::ShowStatusMessage(const QString &text)
{
    timer3_.start(kStatusMessageMs);
    if (messageArea_)
        messageArea_->setText(text);
    ShowingMessage = true;
}

void MDKMainDlg::endStatusMessage()
{
    timer3_.stop();
    ShowingMessage = false;
    if (messageArea_)
        messageArea_->setText(deck.viewCount() > 0 ? study::cardCaption(deck) : QString());
}

void MDKMainDlg::setStatusLine(const QString &text)
{
    if (!ShowingMessage && messageArea_)
        messageArea_->setText(text);
}

QString MDKMainDlg::statusText() const { return messageArea_ ? messageArea_->text() : QString(); }
QString MDKMainDlg::timeText() const { return timeGadget_ ? timeGadget_->text() : QString(); }
QString MDKMainDlg::dateText() const { return dateGadget_ ? dateGadget_->text() : QString(); }

void MDKMainDlg::SetTime(const QDateTime &now)
{
    const clock::Clock::Update update = clock_.tick(now);
    if (update.time && timeGadget_)
        timeGadget_->setText(*update.time);
    if (update.date && dateGadget_)
        dateGadget_->setText(*update.date);
}

void MDKMainDlg::SetDate(const QDate &today)
{
    if (dateGadget_)
        dateGadget_->setText(clock::dateText(today));
}

QTimer &MDKMainDlg::timer(int id)
{
    return id == 1 ? timer1_ : id == 2 ? timer2_ : timer3_;
}

void MDKMainDlg::EvTimer(int id)
{
    switch (id) {
    case 1:
        SetTime();
        break;
    case 2: {
        const QPoint p = mapFromGlobal(pointerPosition());
        const bool inside = p.x() > 0 && p.y() > 0 && p.x() < width() && p.y() < height();
        applyRepeat(repeat_.tick(inside));
        break;
    }
    case 3:
        endStatusMessage();
        break;
    default:
        break;
    }
}

void MDKMainDlg::setCaption(const QString &caption)
{
    if (frame_)
        frame_->setWindowTitle(caption);
}

// ---- Card font and tree ----

void MDKMainDlg::ApplyCardFont()
{
    display_->setCardFont(toQFont(options.LUsingFont));
}

void MDKMainDlg::RefreshTree()
{
    fillingTree_ = true;
    QTreeWidgetItem *current = categorytreewidget::fill(*tree_, deck.tree);
    categorytreewidget::expand(*tree_);
    if (current)
        tree_->setCurrentItem(current);
    fillingTree_ = false;
}

void MDKMainDlg::TvnSelChanged()
{
    QTreeWidgetItem *item = tree_->currentItem();
    if (fillingTree_ || !item)
        return;
    deck.tree.setSelected(categorytreewidget::nodeOf(item));
    {
        WaitCursor wait;
        deck.OpenCategory();
    }
    SetText();
    updateCommands();
}

// ---- Keys ----

void MDKMainDlg::keyPressEvent(QKeyEvent *event)
{
    // The main dialog is never closed by Enter or Escape, and Enter does not
    // run the command that shares the dialog's OK id.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

// ---- Closing ----

bool MDKMainDlg::CanClose()
{
    if (hooks.saveSettings)
        hooks.saveSettings();
    if (!deck.isBlank() && !deck.ShowSubCategories && deck.filehaschanged == 1) {
        const QString who = deck.filehasbeensaved == 1 ? ProtectedFileName() : QStringLiteral("This file");
        const bool yes = dialogs().askSave(
            this, QStringLiteral("Save File"),
            who + QStringLiteral(" has changed.  Would you like to save it before exiting?"));
        // A Yes whose save did not happen (dialog cancelled, write failed)
        // keeps the window open rather than throwing the changes away.
        if (yes && !(hooks.saveFile && hooks.saveFile()))
            return false;
    }
    deck.filehaschanged = 0;
    return true;
}

void MDKMainDlg::stopTimers()
{
    timer1_.stop();
    timer2_.stop();
    timer3_.stop();
}

void MDKMainDlg::CMMyExit()
{
    if (frame_)
        frame_->close();
}

} // namespace mdk
