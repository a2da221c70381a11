#include "app/ParlinoUnit.h"

#include "about/AboutUnit.h"
#include "app/Glyphs.h"
#include "app/Notice.h"
#include "forms/AccessibleRole.h"
#include "forms/FormParts.h"
#include "platform/MainThreadHandOver.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QHeaderView>
#include <QResizeEvent>
#include <QTextStream>

namespace parlino {

TMainForm* MainForm = nullptr;

namespace {

// Only the client area is ours to size here, the window manager draws the frame.
constexpr QSize kClientSize = QSize(399, 267) - kDesignFrame;
constexpr QPoint kPosition(314, 114);

constexpr int kToolBarHeight = 52;
constexpr int kButtonHeight = 45;
constexpr QRect kTreeGeometry(4, 54, 382, 171);
// The strip under the tree, down to the bottom edge.
constexpr QRect kStatusGeometry(4, 225, 382, 15);

} // namespace

TMainForm::TMainForm(const Platform& platform, std::optional<StationSender::SmbRoute> smb, QWidget* parent)
    : QMainWindow(parent), ToolBar1(nullptr), ButChat(nullptr), ButRefresh(nullptr), ButOptiuni(nullptr),
      ButMin(nullptr), RxSpeedButton1(nullptr), ToolButton1(nullptr), ButExit(nullptr), TreeStatii(nullptr),
      RxTrayIcon(new TRxTrayIcon(this, platform.notifyArea, platform.clock, platform.messageBoxes)),
      TrayMenu(new TPopupMenu(this)), Show1(nullptr), About1(nullptr), Exit1(nullptr),
      PopupMenuHelp(new TPopupMenu(this)), Contents2(nullptr), Visitprogramhomepage1(nullptr), About3(nullptr),
      TimerMin(
          platform.timers.NewTimer(std::chrono::milliseconds(55), TimerRepeat::Repeating, [this] { TimerMinTimer(); })),
      TimerRefresh(
          platform.timers.NewTimer(std::chrono::minutes(1), TimerRepeat::Repeating, [this] { TimerRefreshTimer(); })),
      NetUsers(new TNetUsers(this, platform.networkBrowser ? *platform.networkBrowser : NoNetworkBrowser(),
                             platform.computerName)),
      WinPopup(new TWinPopup(this, platform.mailslots, platform.clock, platform.oemCodePage)), platform_(platform),
      stations_(*WinPopup, std::move(smb)), notifier_(platform.notifications, [this](const QString& station) {
          // A click on the notification brings the station's window to the front, also from its tray icon.
          if (TChatForm* chat = Chats.With(station))
              chat->RxTrayIconClick();
      })
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Parlino"));
    setWindowIcon(Glyphs::Application());
    setFont(DesignFont(11));
    setCentralWidget(new QWidget(this));
    move(kPosition);
    resize(kClientSize);

    BuildToolBar();
    BuildTree();
    BuildMenus();
    StatusLine = new QLabel(centralWidget());
    StatusLine->setObjectName(QStringLiteral("StatusLine"));
    // Read out by its name; what it says is its tool tip, which assistive technology gives as the description.
    SetAccessibleRole(StatusLine, QAccessible::StatusBar);
    StatusLine->setAccessibleName(tr("Status"));
    StatusLine->setGeometry(kStatusGeometry);
    StatusLine->hide();

    RxTrayIcon->setObjectName(QStringLiteral("RxTrayIcon"));
    RxTrayIcon->SetActive(false);
    RxTrayIcon->SetHint(QStringLiteral("Parlino"));
    RxTrayIcon->SetIcon(Glyphs::Application());
    RxTrayIcon->SetPopupMenu(TrayMenu);
    RxTrayIcon->OnClick = [this](QObject*, TMouseButton, TShiftState, int, int) { RxTrayIconClick(); };

    NetUsers->SetName(QStringLiteral("NetUsers"));
    OnActivation(this, [this] { FormActivate(); });
    FormPlacement = NewFormPlacement(this, "FormPlacement", QStringLiteral("MainWindow"), {400, 250}, platform.profiles,
                                     platform.screen, platform.messageBoxes);

    WinPopup->SetName(QStringLiteral("WinPopup"));
    WinPopup->OnMessage = [this](QObject* sender, const QString& reciever, const QString& from, const QString& text) {
        WinPopupMessage(sender, reciever, from, text);
    };
}

TMainForm::~TMainForm()
{
    // The chat windows hold the sender, the options and the services of this window: they go before any of it.
    Chats.CloseAll();
    // Its destroy hook writes the placement while the window is still whole.
    delete FormPlacement;
    // A refresh under way ends without touching the tree, before the tree and NetUsers go, and without
    // waiting out the network's answers, which would keep the ended program (and its single-instance
    // lock) alive for another second.
    if (RefreshThread) {
        RefreshThread->SetTree(nullptr);
        if (platform_.networkBrowser)
            platform_.networkBrowser->StopWaiting();
    }
    RefreshThread.reset();
}

QToolButton* TMainForm::ToolButton(const char* name, const QString& caption, const char* glyph, int left, int width)
{
    QToolButton* button = NewToolButton(ToolBar1, name, caption, Glyphs::ToolBar(glyph));
    button->setIconSize(QSize(Glyphs::kToolBarSize, Glyphs::kToolBarSize));
    button->setGeometry(left, (kToolBarHeight - kButtonHeight) / 2, width, kButtonHeight);
    return button;
}

void TMainForm::BuildToolBar()
{
    ToolBar1 = NewToolBar(centralWidget(), "ToolBar1");
    ToolBar1->setGeometry(0, 0, kClientSize.width(), kToolBarHeight);

    ButChat = ToolButton("ButChat", tr("&Chat"), "chat", 0, 56);
    ButChat->setEnabled(false);
    ButRefresh = ToolButton("ButRefresh", tr("&Refresh Net"), "refresh", 56, 70);
    ButOptiuni = ToolButton("ButOptiuni", tr("&Options"), "options", 126, 56);
    ButMin = ToolButton("ButMin", tr("&Minimize"), "minimize", 182, 56);
    RxSpeedButton1 = ToolButton("RxSpeedButton1", tr("&Help"), "help", 238, 56);
    ToolButton1 = NewSeparator(ToolBar1, "ToolButton1");
    ToolButton1->setGeometry(294, (kToolBarHeight - kButtonHeight) / 2, 37, kButtonHeight);
    ButExit = ToolButton("ButExit", tr("E&xit"), "exit", 331, 56);

    connect(ButChat, &QToolButton::clicked, this, &TMainForm::ButChatClick);
    connect(ButRefresh, &QToolButton::clicked, this, &TMainForm::ButRefreshClick);
    connect(ButOptiuni, &QToolButton::clicked, this, &TMainForm::ButOptiuniClick);
    connect(ButMin, &QToolButton::clicked, this, [this] { Guarded([this] { ButMinClick(); }); });
    connect(ButExit, &QToolButton::clicked, this, &TMainForm::ButExitClick);
    // The menu drops down beside the button rather than below it, as the button's arrow points.
    connect(RxSpeedButton1, &QToolButton::clicked, this, [this] {
        PopupMenuHelp->SetPopupComponent(RxSpeedButton1);
        PopupMenuHelp->popup(RxSpeedButton1->mapToGlobal(QPoint(RxSpeedButton1->width(), 0)));
    });
}

void TMainForm::BuildTree()
{
    for (const char* name : {"root", "workgroup", "computer"})
        ImageList1.Add(Glyphs::Tree(name));

    TreeStatii = new StationTree(centralWidget());
    TreeStatii->setObjectName(QStringLiteral("TreeStatii"));
    TreeStatii->setGeometry(kTreeGeometry);
    // Hidden before the font is set: a shown header would measure its label in the new font, a font engine more
    // to load before the first frame. A header that measures nothing lets the window be built while the fonts are
    // still being read; its one column fills the tree anyway.
    TreeStatii->setHeaderHidden(true);
    TreeStatii->header()->setMinimumSectionSize(1);
    // Assistive technology still lists the hidden header, which would read out its column number.
    TreeStatii->setHeaderLabel(QString());
    QFont bold = TreeStatii->font();
    bold.setBold(true);
    TreeStatii->setFont(bold);
    TreeStatii->setAccessibleName(tr("Network"));
    TreeStatii->setIndentation(19);
    TreeStatii->setRootIsDecorated(false);
    TreeStatii->setItemsExpandable(false);
    TreeStatii->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeStatii->setIconSize(QSize(16, 16));
    // Hot tracking: the item under the pointer is highlighted as it moves.
    TreeStatii->setMouseTracking(true);
    TreeStatii->setAttribute(Qt::WA_Hover);

    auto* root = new QTreeWidgetItem(TreeStatii, {StationTree::RootText()});
    root->setIcon(0, ImageList1.Icons(0));
    root->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    connect(TreeStatii, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current)
            TreeStatiiGetSelectedIndex(current);
        TreeStatiiChange();
    });
    // Ctrl+click takes the selection away from the current node without making another one current.
    connect(TreeStatii, &QTreeWidget::itemSelectionChanged, this, &TMainForm::TreeStatiiChange);
    // Where the keyboard starts: choosing a station is what comes first.
    TreeStatii->setFocus();
}

void TMainForm::BuildMenus()
{
    TrayMenu->setObjectName(QStringLiteral("TrayMenu"));
    Show1 = NewMenuItem(TrayMenu, "Show1", tr("&Show"), this, [this] { Show1Click(); });
    About1 = NewMenuItem(TrayMenu, "About1", tr("&About"), this, [this] { About1Click(); });
    TrayMenu->addSeparator();
    Exit1 = NewMenuItem(TrayMenu, "Exit1", tr("E&xit"), this, [this] { Exit1Click(); });

    PopupMenuHelp->setObjectName(QStringLiteral("PopupMenuHelp"));
    Contents2 = NewMenuItem(PopupMenuHelp, "Contents2", tr("&Contents"), this, [this] { Contents2Click(); });
    Visitprogramhomepage1 = NewMenuItem(PopupMenuHelp, "Visitprogramhomepage1", tr("&Visit program homepage"), this,
                                        [this] { Visitprogramhomepage1Click(); });
    PopupMenuHelp->addSeparator();
    About3 = NewMenuItem(PopupMenuHelp, "About3", tr("&About"), this, [this] { About3Click(); });
}

void TMainForm::FormCreate()
{
    FirstActivation = true;
    Guarded([this] { ButRefreshClick(); });
    OpenMessenger();
    Guarded([this] { ComputerName = platform_.computerName.Get(); });
    LastMessage.clear();
    // An activation that came first found nothing to load yet.
    if (isActiveWindow())
        FormActivate();
}

void TMainForm::SetOptions(TOptiuniForm& options)
{
    options_ = &options;
    options.SwitchRefreshTimer = [this](bool on) {
        if (on)
            TimerRefresh->Start();
        else
            TimerRefresh->Stop();
    };
}

void TMainForm::SetAbout(TAboutForm& about)
{
    about_ = &about;
}

void TMainForm::SetDialogMaker(std::function<void()> makeDialogs)
{
    makeDialogs_ = std::move(makeDialogs);
}

TOptiuniForm& TMainForm::Options()
{
    if (makeDialogs_)
        std::exchange(makeDialogs_, nullptr)();
    return *options_;
}

TAboutForm& TMainForm::About()
{
    Options();
    return *about_;
}

void TMainForm::Guarded(const std::function<void()>& step)
{
    platform_.messageBoxes.Guarded(nullptr, step);
}

void TMainForm::OpenMessenger()
{
    // Opened twice on purpose: the second Open replaces the mailslot and its waiting thread with fresh ones.
    // When the mailslot can't be had (another program holds "messngr", the port is barred) the program
    // still runs: it can send, it just receives nothing, and says so where the user looks, without a box.
    Notice reason;
    try {
        WinPopup->SetActive(true);
        WinPopup->Open();
        return;
    } catch (const EMailSlot& error) {
        reason = NotReceivingReason(error);
    } catch (const std::exception& error) {
        reason = Notice::Verbatim(QString::fromUtf8(error.what()));
        platform_.messageBoxes.ShowError(nullptr, reason.shown, QGuiApplication::applicationDisplayName());
    }
    FormClose();
    const Notice notice = Said(QT_TR_NOOP("Not receiving messages: %1")).Arg(reason);
    StatusLine->setText(notice.shown);
    StatusLine->setToolTip(StatusLine->text());
    StatusLine->show();
    QTextStream(stderr) << "parlino: " << notice.logged << Qt::endl;
}

Notice TMainForm::Said(const char* source)
{
    return Notice::Translated(staticMetaObject.className(), source);
}

void TMainForm::ShowNotice(const QString& notice)
{
    StatusLine->setText(StatusLine->text().isEmpty() ? notice : StatusLine->text() + QStringLiteral("; ") + notice);
    StatusLine->setToolTip(StatusLine->text());
    StatusLine->show();
}

Notice TMainForm::NotReceivingReason(const EMailSlot& error) const
{
    switch (platform_.mailslots.GetLastError()) {
    case kErrorAlreadyExists:
        return Said(QT_TR_NOOP("the name is held by another program"));
    case kErrorAccessDenied:
        return Said(QT_TR_NOOP("port %1 needs the capability, see README"))
            .Arg(Notice::Verbatim(QString::number(platform_.datagramPort)));
    default:
        return Notice::Verbatim(error.Message());
    }
}

void TMainForm::ButRefreshClick()
{
    RefreshThread.reset();
    RefreshThread = std::make_unique<CRefreshThread>(*NetUsers, ImageList1);
    RefreshThread->SetTree(TreeStatii);
    RefreshThread->SetPriority(ThreadPriority::Idle);
    RefreshThread->Resume();
}

void TMainForm::TimerRefreshTimer()
{
    // Waiting for the refresh under way here would serve hand-overs behind a modal box (see MainThreadHandOver.h).
    if (MainThreadHandOver::InModalLoop())
        return;
    ButRefreshClick();
}

QTreeWidgetItem* TMainForm::SelectedNode() const
{
    QTreeWidgetItem* current = TreeStatii->currentItem();
    return current && current->isSelected() ? current : nullptr;
}

void TMainForm::TreeStatiiChange()
{
    const QTreeWidgetItem* selected = SelectedNode();
    ButChat->setEnabled(selected && selected->text(0) != StationTree::RootText());
}

void TMainForm::TreeStatiiGetSelectedIndex(QTreeWidgetItem* Node)
{
    Node->setData(0, kSelectedIndexRole, Node->data(0, kImageIndexRole));
}

void TMainForm::FormShow()
{
    if (!FirstActivation)
        return;
    // Where an installer keeps the installation folder in the machine-wide store.
    InstallPath = platform_.machine.ReadString(QStringLiteral("SOFTWARE\\Parlino"), QStringLiteral("InstallPath"));
}

void TMainForm::FormActivate()
{
    if (!FirstActivation)
        return;
    // Restoring from the notification area activates the window again: the options are loaded once per run.
    TOptiuniForm& options = Options();
    options.FormStorage1->ReadStoredProps();
    if (options.CheckMin->Checked())
        TimerMin->Start();
    options.SwitchRefreshTimer(options.CheckRefresh->Checked());
    FirstActivation = false;
}

namespace {

// A window the user opens comes up whole and in front, also when the window manager had minimized it.
void BringUp(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void TMainForm::ButOptiuniClick()
{
    BringUp(&Options());
}

void TMainForm::ButMinClick()
{
    // A placement that cannot be written keeps the window shown: what the error box says is then still on screen.
    FormPlacement->WriteFormSettings();
    RxTrayIcon->SetActive(true);
    if (RxTrayIcon->IsAdded()) {
        hide();
        return;
    }
    RxTrayIcon->SetActive(false);
    minimizingToTaskbar_ = true;
    showMinimized();
    minimizingToTaskbar_ = false;
}

void TMainForm::TimerMinTimer()
{
    // Stopped first: a failure is reported once, not every tick.
    TimerMin->Stop();
    Guarded([this] { ButMinClick(); });
}

void TMainForm::ShowFromTray()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    RxTrayIcon->SetActive(false);
}

void TMainForm::Show1Click()
{
    ShowFromTray();
}

void TMainForm::RxTrayIconClick()
{
    ShowFromTray();
}

void TMainForm::FormClose()
{
    WinPopup->Close();
    Chats.ReleaseAll();
}

int TMainForm::FreeChatSlot() const
{
    return Chats.FreeSlot();
}

bool TMainForm::ActivateChat(const QString& station)
{
    TChatForm* chat = Chats.With(station);
    if (chat)
        chat->activateWindow();
    return chat != nullptr;
}

int TMainForm::NewChat(const QString& name, OpenedBy openedBy)
{
    if (name == QLatin1String(kNetworkNode))
        return kNoChatSlot;
    const QTreeWidgetItem* selected = SelectedNode();
    if (name.isEmpty() && (!selected || selected->text(0) == StationTree::RootText()))
        return kNoChatSlot;
    TChatForm* chat = Chats.Open({.stations = stations_,
                                  .options = Options(),
                                  .shownName = ComputerName,
                                  .computerName = platform_.computerName,
                                  .files = platform_.files,
                                  .fileChooser = platform_.fileChooser,
                                  .messageBoxes = platform_.messageBoxes,
                                  .notifyArea = platform_.notifyArea,
                                  .clock = platform_.clock,
                                  .timers = platform_.timers,
                                  .profiles = platform_.profiles,
                                  .screens = platform_.screen});
    if (!chat) {
        platform_.messageBoxes.ShowError(nullptr, tr("Couldn't create window"), tr("Error"));
        return kNoChatSlot;
    }
    // The station exactly as named: a reply must go back to the computer that wrote.
    chat->SetStation(name.isEmpty() ? selected->text(0) : name);
    chat->CheckFlash->setChecked(Options().CheckFlash->Checked());
    if (openedBy == OpenedBy::Message) {
        chat->ShowUnasked();
        return chat->Tag;
    }
    chat->show();
    chat->raise();
    chat->activateWindow();
    return chat->Tag;
}

void TMainForm::ButChatClick()
{
    const QTreeWidgetItem* selected = SelectedNode();
    if (selected && !ActivateChat(selected->text(0)))
        NewChat(QString());
}

void TMainForm::WinPopupMessage(QObject*, const QString& AReciever, const QString& ASender, const QString& AMsg)
{
    if (ASender == QLatin1String(kNetworkNode))
        return;
    const QString local = TChatForm::LocalComputerName(platform_.computerName);
    const QString station = AReciever == local ? ASender : AReciever;
    // Without a station the message belongs to no window; an empty name would open the selected one's.
    if (ASender == local || station.isEmpty())
        return;
    // Repeats are the transport's to drop, as it knows how soon they came: the same text later is new.
    LastMessage = AMsg;
    const TOptiuniForm& options = Options();
    if (options.CheckWav->Checked())
        platform_.sound.PlayFile(options.EditWav->Text());
    TChatForm* chat = Chats.With(station);
    if (!chat && !AMsg.isEmpty()) {
        const int slot = NewChat(station, OpenedBy::Message);
        if (slot <= kChatSlots)
            chat = Chats.At(slot);
    }
    if (!chat)
        return;
    chat->Mesaj(ASender, AMsg, *options.EditPrimire->Font(), true);
    // Once the window is where the arrival leaves it.
    notifier_.MessageArrived(station, ASender, AMsg,
                             {.chatActive = chat->isActiveWindow(), .flash = chat->CheckFlash->isChecked()});
}

void TMainForm::Contents2Click()
{
    platform_.shell.Open(InstallPath + QStringLiteral("/help/help.html"));
}

void TMainForm::Visitprogramhomepage1Click()
{
    // Without a web site the installed help is the best page about the program there is.
    if (Homepage.isEmpty())
        Contents2Click();
    else
        platform_.shell.Open(Homepage);
}

void TMainForm::ShowAbout()
{
    // Open already, perhaps minimized: brought back rather than run a second time.
    TAboutForm& about = About();
    if (about.isVisible()) {
        BringUp(&about);
        return;
    }
    about.setWindowState(about.windowState() & ~Qt::WindowMinimized);
    about.exec();
}

void TMainForm::About1Click()
{
    ShowAbout();
}

void TMainForm::About3Click()
{
    ShowAbout();
}

void TMainForm::ButExitClick()
{
    close();
}

void TMainForm::Exit1Click()
{
    close();
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The minimize command hides the window in the notification area; the hiding, which may report an error, runs
    // once the state change is over.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && !minimizingToTaskbar_ &&
        platform_.notifyArea.IsAvailable()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        QMetaObject::invokeMethod(
            this, [this] { Guarded([this] { ButMinClick(); }); }, Qt::QueuedConnection);
    }
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
    // The main window's close ends the program, also when it was hidden in the notification area and
    // so never counted as the last visible window.
    QCoreApplication::quit();
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The toolbar spans the top; the tree keeps its distance to all four edges.
    const QSize growth = event->size() - kClientSize;
    ToolBar1->resize(event->size().width(), kToolBarHeight);
    TreeStatii->resize(kTreeGeometry.size() + growth);
    StatusLine->setGeometry(kStatusGeometry.translated(0, growth.height()).adjusted(0, 0, growth.width(), 0));
}

} // namespace parlino
