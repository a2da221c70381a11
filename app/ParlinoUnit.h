#pragma once

#include "app/ChatTable.h"
#include "app/MessageNotifier.h"
#include "app/RefreshThread.h"
#include "app/StationTree.h"
#include "chat/ChatUnit.h"
#include "platform/qt/Platform.h"
#include "settings/FormPlacement.h"
#include "settings/OptiuniUnit.h"
#include "transport/MailSlot.h"
#include "transport/StationSender.h"
#include "tray/IconList.h"
#include "tray/PopupMenu.h"
#include "tray/RxTrayIcon.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>

namespace parlino {

class TAboutForm;
struct Notice;

// The main window: toolbar, station tree, tray icon, the one messenger transport, and the table of
// chat windows. Main thread only.
class TMainForm final : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kChatSlots = ChatTable::kSlots;

    // Without an SMB route every chat line goes as a mailslot datagram.
    explicit TMainForm(const Platform& platform, std::optional<StationSender::SmbRoute> smb = std::nullopt,
                       QWidget* parent = nullptr);
    ~TMainForm() override;
    Q_DISABLE_COPY_MOVE(TMainForm)

    // The options dialog, alive longer than this window; needed by the first activation, message or chat window.
    // Its OK switches the periodic refresh.
    void SetOptions(TOptiuniForm& options);
    // The about box, alive longer than this window.
    void SetAbout(TAboutForm& about);
    // Makes the options dialog and the about box (through SetOptions and SetAbout) when first needed, as the
    // first frame shows neither.
    void SetDialogMaker(std::function<void()> makeDialogs);
    // Adds a notice to what the status line says and shows it.
    void ShowNotice(const QString& notice);

    QFrame* ToolBar1;
    QToolButton* ButChat;
    QToolButton* ButRefresh;
    QToolButton* ButOptiuni;
    QToolButton* ButMin;
    QToolButton* RxSpeedButton1;
    QFrame* ToolButton1;
    QToolButton* ButExit;
    QTreeWidget* TreeStatii;
    // Says why no message can arrive; hidden while they can.
    QLabel* StatusLine = nullptr;
    TRxTrayIcon* RxTrayIcon;
    TPopupMenu* TrayMenu;
    QAction* Show1;
    QAction* About1;
    QAction* Exit1;
    TPopupMenu* PopupMenuHelp;
    QAction* Contents2;
    QAction* Visitprogramhomepage1;
    QAction* About3;
    std::unique_ptr<MainThreadTimer> TimerMin;
    std::unique_ptr<MainThreadTimer> TimerRefresh;
    TFormPlacement* FormPlacement;
    TNetUsers* NetUsers;
    TWinPopup* WinPopup;
    TIconList ImageList1;

    QString InstallPath;
    // The program's web site, set when building (PARLINO_HOMEPAGE); empty when it has none.
    QString Homepage = QStringLiteral(PARLINO_HOMEPAGE);
    // The refresh last started; it stays after its thread has ended, until the next refresh.
    std::unique_ptr<CRefreshThread> RefreshThread;
    QString LastMessage;
    // The chat windows, by chat slot; they use what this window holds, so it ends them first.
    ChatTable Chats;
    bool FirstActivation = false;
    QString ComputerName;

    // Joins the network: refreshes the tree and opens the mailslot. Start-up runs it once, after the construction.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();
    // Stops the refresh under way (serving its hand-overs while it ends) and starts a new one.
    void ButRefreshClick();
    void TimerRefreshTimer();
    void TreeStatiiChange();
    void TreeStatiiGetSelectedIndex(QTreeWidgetItem* Node);
    void Contents2Click();
    void Visitprogramhomepage1Click();
    void About1Click();
    void About3Click();
    void ButExitClick();
    void Exit1Click();
    void ButOptiuniClick();
    // Hides the window in the notification area, its placement written first; where the desktop has no notification
    // area, minimises it to the taskbar instead, so that it can always be brought back.
    void ButMinClick();
    void TimerMinTimer();
    void Show1Click();
    void RxTrayIconClick();

    // The chat-window table: slots 1..kChatSlots, kNoChatSlot when none is free or none was opened.
    static constexpr int kNoChatSlot = ChatTable::kNoSlot;
    // The name of the station tree's root, never a station; the tree shows it in the user's language.
    static constexpr auto kNetworkNode = "Network";
    // A notice of this window, source marked with QT_TRANSLATE_NOOP in this window's context.
    static Notice Said(const char* source);
    int FreeChatSlot() const;
    bool ActivateChat(const QString& station);
    // Who opens a chat window: the user's is activated, a message's comes up without taking the keyboard.
    enum class OpenedBy { User, Message };
    // An empty name opens a window for the station selected in the tree.
    int NewChat(const QString& name, OpenedBy openedBy = OpenedBy::User);
    void ButChatClick();
    void WinPopupMessage(QObject* Sender, const QString& AReciever, const QString& ASender, const QString& AMsg);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* ToolButton(const char* name, const QString& caption, const char* glyph, int left, int width);
    void BuildToolBar();
    void BuildTree();
    void BuildMenus();
    void ShowAbout();
    TOptiuniForm& Options();
    TAboutForm& About();
    // Runs a step of start-up or a handler: what goes wrong is shown in the error box, and the program goes on.
    void Guarded(const std::function<void()>& step);
    void ShowFromTray();
    void OpenMessenger();
    Notice NotReceivingReason(const EMailSlot& error) const;
    // The current node while it is selected.
    QTreeWidgetItem* SelectedNode() const;

    Platform platform_;
    StationSender stations_;
    MessageNotifier notifier_;
    TOptiuniForm* options_ = nullptr;
    TAboutForm* about_ = nullptr;
    std::function<void()> makeDialogs_;
    // Set while the window minimises to the taskbar because it could not hide in the notification area.
    bool minimizingToTaskbar_ = false;
};

// The first form created: closing it ends the program.
extern TMainForm* MainForm;

} // namespace parlino
