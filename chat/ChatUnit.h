#pragma once

#include "chat/REdit.h"
#include "platform/ComputerName.h"
#include "platform/FileChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/NotifyArea.h"
#include "settings/TFont.h"
#include "transport/MailSlot.h"
#include "tray/PopupMenu.h"
#include "tray/RxTrayIcon.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <span>

namespace parlino {

// What a chat window uses of the window that keeps the chat table, and of the system.
struct ChatServices
{
    // Sends the user's lines.
    TCustomWinPopup& winPopup;
    // The main window's name of this computer, shown as the author of sent lines.
    const QString& shownName;
    // The table's in-use flags by chat slot; a closing window clears the flag of its own slot.
    std::span<bool> chatOpen;
    const ComputerName& computerName;
    FileSaver& files;
    FileChooser& fileChooser;
    MessageBoxes& messageBoxes;
    NotifyArea& notifyArea;
};

// The window of one conversation with one peer station: a transcript, an entry line, its own tray icon.
// Main thread only; it destroys itself once closed.
class TChatForm final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFlashIntervalMs = 500;
    static constexpr auto kCaptionPrefix = "Chat with ";
    static constexpr auto kSaveFilter = "Ritch Text Format (*.RTF)|*.rtf|All Files (*.*)|*.*";

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
    QTimer* TimerFlash;
    TPopupMenu* PopupMenu1;
    QAction* Show1;
    QAction* N1;
    QAction* Close1;
    TPopupMenu* PopupMenuCopy;
    QAction* copy1;
    QAction* Selectall1;

    // The chat slot of this window, set by whoever opens it.
    int Tag = 0;

    void SetStation(const QString& station) { Station = station; }
    QString GetStation() const { return Station; }
    static QString LocalComputerName(const ComputerName& computerName) { return computerName.Get(); }
    bool PadNext() const { return PadNext_; }

    void Mesaj(const QString& AName, const QString& AText, const TFont& AFont, bool AIncoming);
    void AdaugaMesaj(const QString& AName, const QString& AText, const TFont& AFont, bool AIncoming);
    void StopFlash();

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

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* SpeedButton(const char* name, const QString& caption, const char* glyph, void (TChatForm::*handler)());
    QAction* MenuItem(TPopupMenu* menu, const char* name, const QString& caption, void (TChatForm::*handler)());
    void BuildToolBar();
    void BuildTray();
    void BuildMenus();
    // Puts the line at the end of the transcript in the font, keeping the entry field's caret.
    void AppendLine(const QString& line, const TFont& font);
    // Hides into the tray icon, or minimises where no notification area could bring the window back.
    void HideToTray();
    // Runs a handler the way the framework would: an error that escapes it is shown in an error box.
    void Guarded(const std::function<void()>& handler);

    ChatServices services_;
    QString Station;
    bool PadNext_ = false;
};

} // namespace parlino
