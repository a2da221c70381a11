#include "chat/ChatUnit.h"

#include "codec/SmbMailslot.h"
#include "forms/AccessibleRole.h"
#include "forms/FormParts.h"
#include "platform/Component.h"
#include "platform/qt/FlashWindow.h"
#include "platform/qt/ResourceIcon.h"
#include "settings/FontFormat.h"
#include "tray/TrayPictures.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QTime>
#include <QVBoxLayout>
#include <QWindow>

#include <limits>

PARLINO_RESOURCES(chat)

namespace parlino {
namespace {

// One empty line in "MS Sans Serif" 8 point.
constexpr auto kInitialTranscript = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}"
                                    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss\\fcharset1 MS Sans Serif;}"
                                    "{\\f3\\fswiss\\fcharset1 MS Sans Serif;}}\r\n"
                                    "{\\colortbl\\red0\\green0\\blue0;}\r\n"
                                    "\\deflang1033\\pard\\plain\\f3\\fs16 \r\n"
                                    "\\par }\r\n";
constexpr int kDesignWidth = 405;
constexpr int kDesignHeight = 328;
constexpr int kButtonHeight = 45;

// The text as it may leave: control characters other than tab, CR and LF would reach the peer as
// garbage or as commands of its terminal.
QString Sendable(QString text)
{
    text.removeIf(
        [](QChar c) { return c.category() == QChar::Other_Control && c != u'\t' && c != u'\r' && c != u'\n'; });
    return text;
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The time format without its zone, which the desktop clock leaves out too.
QString TimeFormatWithoutZone()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return format.simplified();
}

} // namespace

TChatForm::TChatForm(const ChatServices& services) : services_(services)
{
    setObjectName(QStringLiteral("ChatForm"));
    SetAccessibleRole(this, QAccessible::Window);
    setWindowTitle(QStringLiteral("ChatForm"));
    setWindowIcon(TrayPictures::Still());
    setFont(DesignFont(11));
    resize(kDesignWidth, kDesignHeight);

    BuildToolBar();
    RichEdit = new TREdit(services_.files, this);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->setReadOnly(true);
    // A caret to read the transcript line by line and select from it without a mouse.
    RichEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit->SetIndentSpace(0);
    RichEdit->SetBackSpaceUnIndent(false);
    RichEdit->SetAutoIndent(false);
    RichEdit->SetRTFText(QString::fromLatin1(kInitialTranscript));
    RichEdit->OnKeyPress = [this](QObject*, QChar& key) { RichEditKeyPress(key); };
    // Enter in the transcript leads to the entry; only Enter there sends.
    RichEdit->OnKeyDown = [this](QObject*, int& key, Qt::KeyboardModifiers) {
        if (IsEnter(key)) {
            EditText->setFocus();
            key = 0;
        }
    };

    EditText = new QLineEdit(this);
    EditText->setObjectName(QStringLiteral("EditText"));
    EditText->setFont(DesignFont(13));
    // No limit of its own: a text too long for one message is refused when sent, never cut.
    EditText->setMaxLength(std::numeric_limits<int>::max());
    EditText->installEventFilter(this);

    ButOk = new QPushButton(tr("OK"), this);
    ButOk->setObjectName(QStringLiteral("ButOk"));
    ButOk->setDefault(true);
    ButOk->setGeometry(0, 0, 0, 0);
    // Never seen, so never where the keyboard goes: Enter presses it.
    ButOk->setFocusPolicy(Qt::NoFocus);
    connect(ButOk, &QPushButton::clicked, this, [this] { Guarded([this] { ButOkClick(); }); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(RichEdit, 1);
    layout->addWidget(EditText);

    // Half a second lit, half dark.
    TimerFlash = services_.timers.NewTimer(std::chrono::milliseconds(500), TimerRepeat::Repeating,
                                           [this] { TimerFlashTimer(); });

    BuildMenus();
    BuildTray();
    FormPlacement1 = NewFormPlacement(this, "FormPlacement1", QStringLiteral("ChatWindow"), {350, 275},
                                      services_.profiles, services_.screens, services_.messageBoxes);
    OnActivation(this, [this] { FormActivate(); });
    EditText->setFocus();
    FormCreate();
    // The icon appears once, for the finished window.
    RxTrayIcon->EndLoading();
}

// Destroying the window removes its tray icon with it; the chat table has already let go of the slot.
TChatForm::~TChatForm()
{
    // Its destroy hook writes the placement while the window is still whole.
    delete FormPlacement1;
}

QToolButton* TChatForm::SpeedButton(const char* name, const QString& caption, const char* glyph,
                                    void (TChatForm::*handler)())
{
    Init_chat_Resources();
    QToolButton* button =
        NewToolButton(ToolBar1, name, caption, ResourceIcon(QLatin1StringView("chat"), glyph, {16, 32}));
    button->setFixedHeight(kButtonHeight);
    connect(button, &QToolButton::clicked, this, Handler(handler));
    ToolBar1->layout()->addWidget(button);
    return button;
}

std::function<void()> TChatForm::Handler(void (TChatForm::*handler)())
{
    return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
}

void TChatForm::BuildToolBar()
{
    ToolBar1 = NewToolBar(this, "ToolBar1");
    auto* row = new QHBoxLayout(ToolBar1);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);
    ButClose = SpeedButton("ButClose", tr("&Close"), "close", &TChatForm::ButCloseClick);
    ButClear = SpeedButton("ButClear", tr("C&lear"), "clear", &TChatForm::ButClearClick);
    ButMin = SpeedButton("ButMin", tr("&Minimize"), "minimize", &TChatForm::ButMinClick);
    ButSave = SpeedButton("ButSave", tr("&Save"), "save", &TChatForm::ButSaveClick);
    ToolButton1 = NewSeparator(ToolBar1, "ToolButton1");
    row->addWidget(ToolButton1);
    CheckFlash = new QCheckBox(tr(" Flash"), ToolBar1);
    CheckFlash->setObjectName(QStringLiteral("CheckFlash"));
    // The caption stands left of the box.
    CheckFlash->setLayoutDirection(Qt::RightToLeft);
    CheckFlash->setChecked(true);
    row->addWidget(CheckFlash);
    row->addStretch(1);
}

void TChatForm::BuildMenus()
{
    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Show1 = NewMenuItem(PopupMenu1, "Show1", tr("&Show"), this, Handler(&TChatForm::Show1Click));
    N1 = PopupMenu1->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Close1 = NewMenuItem(PopupMenu1, "Close1", tr("&Close"), this, Handler(&TChatForm::Close1Click));

    PopupMenuCopy = new TPopupMenu(this);
    PopupMenuCopy->setObjectName(QStringLiteral("PopupMenuCopy"));
    copy1 = NewMenuItem(PopupMenuCopy, "copy1", tr("&Copy"), this, Handler(&TChatForm::copy1Click));
    Selectall1 =
        NewMenuItem(PopupMenuCopy, "Selectall1", tr("Select &All"), this, Handler(&TChatForm::Selectall1Click));
    RichEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenuCopy->popup(RichEdit->viewport()->mapToGlobal(pos)); });
}

void TChatForm::BuildTray()
{
    RxTrayIcon = new TRxTrayIcon(this, services_.notifyArea, services_.clock, services_.messageBoxes);
    RxTrayIcon->BeginLoading();
    RxTrayIcon->setObjectName(QStringLiteral("RxTrayIcon"));
    RxTrayIcon->SetIcon(TrayPictures::Still());
    TrayPictures::LoadMessageFrames(RxTrayIcon->Icons());
    RxTrayIcon->SetPopupMenu(PopupMenu1);
    RxTrayIcon->OnClick = [this](QObject*, TMouseButton, TShiftState, int, int) { RxTrayIconClick(); };
}

void TChatForm::SetStation(const QString& station)
{
    Station = station;
    RichEdit->setAccessibleName(tr("Conversation with %1").arg(station));
    EditText->setAccessibleName(tr("Message to %1").arg(station));
}

void TChatForm::FormCreate()
{
    PadNext_ = false;
}

void TChatForm::FormActivate()
{
    ShowCaption();
}

void TChatForm::ShowCaption()
{
    setWindowTitle(tr("Chat with %1").arg(Station));
}

void TChatForm::FormClose()
{
    Raise(services_.closed);
}

QString TChatForm::LocalTimeText()
{
    return QLocale::system().toString(QTime::currentTime(), TimeFormatWithoutZone());
}

QString TChatForm::TranscriptLine(const QString& name, const QString& text, bool withTime)
{
    const QString line = name + QStringLiteral(" > ") + text + u' ';
    return withTime ? LocalTimeText() + u' ' + line : line;
}

void TChatForm::Mesaj(const QString& AName, const QString& AText, const TFont& AFont, bool AIncoming)
{
    AdaugaMesaj(AName, AText, AFont, AIncoming);
}

void TChatForm::AppendLine(const QString& line, const TFont& font)
{
    const int end = RichEdit->TextLength();
    const int caret = EditText->cursorPosition();
    RichEdit->SetSelStart(end);
    RichEdit->SetSelFormat(CharFormatOfFont(font));
    RichEdit->AddLine(line);
    RichEdit->SetSelStart(RichEdit->TextLength());
    RichEdit->ScrollCaret();
    EditText->deselect();
    EditText->setCursorPosition(caret);
}

void TChatForm::AdaugaMesaj(const QString& AName, const QString& AText, const TFont& AFont, bool AIncoming)
{
    AppendLine(TranscriptLine(AName, AText, services_.options.CheckTimp->Checked()), AFont);
    if (AIncoming && CheckFlash->isChecked()) {
        RxTrayIcon->SetAnimated(true);
        FlashWindow(this, true);
        if (!TimerFlash->IsActive())
            TimerFlash->Start();
    } else {
        StopFlash();
    }
}

void TChatForm::StopFlash()
{
    RxTrayIcon->SetAnimated(false);
    if (TimerFlash->IsActive()) {
        FlashWindow(this, false);
        TimerFlash->Stop();
    }
}

void TChatForm::TimerFlashTimer()
{
    if (CheckFlash->isChecked()) {
        FlashWindow(this, true);
        return;
    }
    TimerFlash->Stop();
    RxTrayIcon->SetAnimated(false);
}

qsizetype TChatForm::LongestText(const QString& from, const QString& to)
{
    // Sender, receiver and text, each name ended by a zero byte; a character takes at most one byte.
    return static_cast<qsizetype>(kMaxMailslotData) - from.size() - to.size() - 2;
}

void TChatForm::ButOkClick()
{
    QString text = Sendable(EditText->text());
    if (text.isEmpty())
        text = QStringLiteral(" ");
    if (PadNext_)
        text += u' ';
    const QString local = LocalComputerName(services_.computerName);
    const TFont& sendFont = *services_.options.EditTrimitere->Font();
    const qsizetype longest = LongestText(local, Station);
    if (text.size() > longest) {
        // Kept in the entry, to be shortened.
        AppendLine(tr("(not sent: %1 characters, one message holds at most %2)").arg(text.size()).arg(longest),
                   sendFont);
        return;
    }
    PadNext_ = !PadNext_;
    AdaugaMesaj(services_.shownName, text, sendFont, false);
    // NetBIOS names are one name whatever their case.
    if (Station.compare(local, Qt::CaseInsensitive) != 0)
        services_.stations.Send(Station, local, text, this, [this, station = Station](bool delivered) {
            // A line that never left must not pass for a sent one; by the SMB route this is known only later.
            if (!delivered)
                AppendLine(tr("(not delivered to %1)").arg(station), *services_.options.EditTrimitere->Font());
        });
    EditText->clear();
}

void TChatForm::EditTextKeyDown()
{
    StopFlash();
}

void TChatForm::ButCloseClick()
{
    close();
}

void TChatForm::Close1Click()
{
    close();
}

void TChatForm::ButClearClick()
{
    RichEdit->Clear();
}

void TChatForm::ButMinClick()
{
    HideToTray();
}

void TChatForm::HideToTray()
{
    if (RxTrayIcon->IsAdded())
        hide();
    else
        showMinimized();
}

void TChatForm::ButSaveClick()
{
    const std::optional<QString> fileName = services_.fileChooser.ChooseSaveFile(
        this, {QStringLiteral(".rtf"),
               //: Descriptions and patterns in pairs, each after a bar; only the descriptions are words.
               tr("Ritch Text Format (*.RTF)|*.rtf|All Files (*.*)|*.*")});
    if (fileName)
        RichEdit->SaveToFile(*fileName);
}

void TChatForm::ShowUnasked()
{
    // For this show only: the user's own ways of bringing the window up activate it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    raise();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void TChatForm::RxTrayIconClick()
{
    // Back in the state it was hidden in: a stored minimized state would hide it into its icon again.
    const TFormPlacement::TPlacementOptions placement = FormPlacement1->Options();
    FormPlacement1->SetOptions(placement & ~TFormPlacement::fpState);
    show();
    FormPlacement1->SetOptions(placement);
    // Also where the window is minimized and so already shown.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void TChatForm::Show1Click()
{
    RxTrayIconClick();
}

void TChatForm::RichEditKeyPress(QChar Key)
{
    // Control characters are the transcript's own keys (copy, select all...), never part of the reply.
    if (!Key.isPrint())
        return;
    EditText->setFocus();
    EditText->setText(EditText->text() + Key);
    EditText->deselect();
    EditText->end(false);
}

void TChatForm::copy1Click()
{
    RichEdit->Copy();
}

void TChatForm::Selectall1Click()
{
    RichEdit->SelectAll();
}

void TChatForm::Guarded(const std::function<void()>& handler)
{
    services_.messageBoxes.Guarded(this, handler);
}

void TChatForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Also where the window manager keeps the window from being activated.
    ShowCaption();
}

void TChatForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // The minimize command hides the window into its icon, where the icon can bring it back.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && RxTrayIcon->IsAdded())
        HideMinimizedIntoIcon();
}

void TChatForm::HideMinimizedIntoIcon()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    // A stored minimized state arrives while the window is being shown. Hidden then, its native window would still go
    // up, unpainted and deaf to the keys, while Qt holds the window hidden: it is hidden once it is up.
    const QWindow* native = windowHandle();
    if (isVisible() && !(native && native->isVisible()))
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
    else
        hide();
}

void TChatForm::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TChatForm::keyPressEvent(QKeyEvent* event)
{
    // Enter that no control took presses the default button.
    if (IsEnter(event->key())) {
        ButOk->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TChatForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditText && event->type() == QEvent::KeyPress)
        EditTextKeyDown();
    return QWidget::eventFilter(watched, event);
}

} // namespace parlino
