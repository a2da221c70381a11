#pragma once

#include "chat/REdit.h"
#include "platform/Clock.h"
#include "platform/ComputerName.h"
#include "platform/FileChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/qt/NotifyArea.h"
#include "settings/FormPlacement.h"
#include "settings/OptiuniUnit.h"
#include "settings/TFont.h"
#include "transport/MailSlot.h"
#include "transport/StationSender.h"
#include "tray/PopupMenu.h"
#include "tray/RxTrayIcon.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <memory>

namespace parlino {

// What a chat window is given by whoever opens it. The objects referred to outlive the window.
struct ChatServices
{
    // Delivers the user's lines, trying the SMB route first for Samba servers.
    StationSender& stations;
    // Read when a line is added: time stamps, the font of sent lines.
    const TOptiuniForm& options;
    // This computer's name as the main window knows it, shown as the author of sent lines.
    QString shownName;
    // Raised once as the window closes; its owner then destroys it, but not before the event returns.
    std::function<void()> closed = {};
    const ComputerName& computerName;
    FileSaver& files;
    FileChooser& fileChooser;
    MessageBoxes& messageBoxes;
    NotifyArea& notifyArea;
    // Times the tray icon's animation.
    Clock& clock;
    // Times the window's flashing.
    MainThreadTimers& timers;
    // Where the placement shared by every chat window is kept, and the screens it must stay on.
    ProfileStore& profiles;
    const Screens& screens;
};

// The window of one conversation with one peer station: a transcript, an entry line, its own tray icon.
// Main thread only; owned by whoever opened it, which is told when it closes.
class TChatForm final : public QWidget
{
    Q_OBJECT

public:
    explicit TChatForm(const ChatServices& services);
    ~TChatForm() override;
    Q_DISABLE_COPY_MOVE(TChatForm)

    QFrame* ToolBar1;
    QToolButton* ButClose;
    QToolButton* ButClear;
    QToolButton* ButMin;
    QToolButton* ButSave;
    QFrame* ToolButton1;
    QCheckBox* CheckFlash;
    QLineEdit* EditText;
    QPushButton* ButOk;
    TREdit* RichEdit;
    TRxTrayIcon* RxTrayIcon;
    std::unique_ptr<MainThreadTimer> TimerFlash;
    TPopupMenu* PopupMenu1;
    QAction* Show1;
    QAction* N1;
    QAction* Close1;
    TPopupMenu* PopupMenuCopy;
    QAction* copy1;
    QAction* Selectall1;
    TFormPlacement* FormPlacement1;

    // The chat slot of this window, set by whoever opens it.
    int Tag = 0;

    // Also what assistive technology calls the transcript and the entry field.
    void SetStation(const QString& station);
    QString GetStation() const { return Station; }
    static QString LocalComputerName(const ComputerName& computerName) { return computerName.Get(); }
    bool PadNext() const { return PadNext_; }

    void Mesaj(const QString& AName, const QString& AText, const TFont& AFont, bool AIncoming);
    void AdaugaMesaj(const QString& AName, const QString& AText, const TFont& AFont, bool AIncoming);
    void StopFlash();
    // Shows the window in front without taking the keyboard from the window that has it: what a message, not the
    // user, brings up must not receive the rest of what is being typed elsewhere.
    void ShowUnasked();

    void FormCreate();
    void FormActivate();
    void FormClose();
    void ButOkClick();
    void EditTextKeyDown();
    void ButCloseClick();
    void Close1Click();
    void ButClearClick();
    void ButMinClick();
    void ButSaveClick();
    void RxTrayIconClick();
    void Show1Click();
    void TimerFlashTimer();
    void RichEditKeyPress(QChar Key);
    void copy1Click();
    void Selectall1Click();

    // The transcript line a message becomes: the time when asked for, the name, " > ", the text, one blank.
    static QString TranscriptLine(const QString& name, const QString& text, bool withTime);
    // The current local time in the system's own time format, seconds included.
    static QString LocalTimeText();
    // The longest text that one message from one name to another can carry.
    static qsizetype LongestText(const QString& from, const QString& to);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* SpeedButton(const char* name, const QString& caption, const char* glyph, void (TChatForm::*handler)());
    // The handler as a control runs it: guarded.
    std::function<void()> Handler(void (TChatForm::*handler)());
    void BuildToolBar();
    void BuildTray();
    void BuildMenus();
    void ShowCaption();
    // Puts the line at the end of the transcript in the font, keeping the entry field's caret.
    void AppendLine(const QString& line, const TFont& font);
    // Hides into the tray icon, or minimises while the icon is not shown and so could not bring the window back.
    void HideToTray();
    // What the minimize command does where the window's icon is shown.
    void HideMinimizedIntoIcon();
    // Runs a handler the way the framework would: an error that escapes it is shown in an error box.
    void Guarded(const std::function<void()>& handler);

    ChatServices services_;
    QString Station;
    bool PadNext_ = false;
};

} // namespace parlino
