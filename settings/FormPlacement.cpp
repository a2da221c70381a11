#include "settings/FormPlacement.h"

#include "forms/FormParts.h"
#include "platform/MessageBoxes.h"
#include "platform/ProfileStore.h"
#include "platform/Screens.h"
#include "settings/PropsStorage.h"
#include "settings/ScreenPlacement.h"
#include "settings/SettingsAccess.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace parlino {
namespace {

// Flags: the window returns to the maximized state when it is restored from minimized.
constexpr int32_t kRestoreToMaximized = 2;
// The window's state, as "ShowCmd" keeps it.
enum ShowCommand : int32_t { kShowNormal = 1, kShowMinimized = 2, kShowMaximized = 3 };
// The desktop decides where minimized and maximized windows go: no position of this program's.
constexpr FourNumbers kNoMinMaxPosition = {-1, -1, -1, -1};

const QString FormVersionKey = QStringLiteral("FormVersion");
const QString FlagsKey = QStringLiteral("Flags");
const QString ShowCmdKey = QStringLiteral("ShowCmd");
const QString PixelsPerInchKey = QStringLiteral("PixelsPerInch");
const QString MinMaxPosKey = QStringLiteral("MinMaxPos");
const QString NormPosKey = QStringLiteral("NormPos");
const QString ActiveControlKey = QStringLiteral("ActiveControl");
const QString VisibleKey = QStringLiteral("Visible");

constexpr Qt::WindowStates kMinMax = Qt::WindowMinimized | Qt::WindowMaximized;

bool RestoresMaximized(Qt::WindowStates state)
{
    return (state & kMinMax) == kMinMax;
}

ShowCommand ShowCmdOf(Qt::WindowStates state)
{
    if (state.testFlag(Qt::WindowMinimized))
        return kShowMinimized;
    return state.testFlag(Qt::WindowMaximized) ? kShowMaximized : kShowNormal;
}

// This program's main form is its one main window; a form minimized at its show is the program minimized.
bool IsMainFormOrNone(const QWidget* form)
{
    const auto isMain = [](const QWidget* widget) { return qobject_cast<const QMainWindow*>(widget) != nullptr; };
    const QWidgetList forms = QApplication::topLevelWidgets();
    return isMain(form) || std::none_of(forms.begin(), forms.end(), isMain);
}

bool Sizeable(const QWidget* form)
{
    return form->minimumSize() != form->maximumSize();
}

bool InNormalState(const QWidget* form)
{
    return !(form->windowState() & (kMinMax | Qt::WindowFullScreen));
}

// The window's rectangle as it is stored: the top left corner of its frame, with the size of its client area. Qt moves
// a window by its frame and sizes it by its client area, and a window that is not up yet has no frame.
QRect WindowRectOf(const QWidget* form)
{
    return QRect(form->pos(), form->size());
}

} // namespace

void TWinMinMaxInfo::SetMinTrackSize(QSize size)
{
    const bool width = Change(minTrackWidth_, size.width());
    if (Change(minTrackHeight_, size.height()) || width)
        Q_EMIT Changed();
}

void TWinMinMaxInfo::Assign(const TWinMinMaxInfo& other)
{
    {
        // One change for all of them.
        const QSignalBlocker blocker(this);
        for (int i = staticMetaObject.propertyOffset(); i < staticMetaObject.propertyCount(); ++i)
            staticMetaObject.property(i).write(this, staticMetaObject.property(i).read(&other));
    }
    Q_EMIT Changed();
}

bool TWinMinMaxInfo::IsEmpty() const
{
    for (int i = staticMetaObject.propertyOffset(); i < staticMetaObject.propertyCount(); ++i) {
        if (staticMetaObject.property(i).read(this).toInt() != 0)
            return false;
    }
    return true;
}

TFormPlacement::FileScope::FileScope(TFormPlacement& owner) : owner_(owner), opened_(!owner.iniFile_)
{
    if (opened_)
        owner_.iniFile_ = std::make_unique<TMemIniFile>(owner_.profiles_, owner_.FileName());
}

TFormPlacement::FileScope::~FileScope()
{
    if (opened_)
        owner_.iniFile_.reset();
}

TFormPlacement::TFormPlacement(QWidget* form, ProfileStore& profiles, const Screens& screens,
                               MessageBoxes& messageBoxes)
    : TComponent(form), form_(form), profiles_(profiles), screens_(screens), messageBoxes_(messageBoxes),
      minMaxInfo_(new TWinMinMaxInfo(this))
{
    connect(minMaxInfo_, &TWinMinMaxInfo::Changed, this, &TFormPlacement::UpdateSizeLimits);
}

TFormPlacement::~TFormPlacement()
{
    FormDestroying();
}

void TFormPlacement::SetMinMaxInfo(TWinMinMaxInfo* info)
{
    if (info)
        minMaxInfo_->Assign(*info);
}

void TFormPlacement::SetPreventResize(bool prevent)
{
    if (Change(preventResize_, prevent))
        UpdateSizeLimits();
}

QString TFormPlacement::FileName() const
{
    if (!iniFileName_.isEmpty())
        return iniFileName_;
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".INI");
}

QString TFormPlacement::SectionName() const
{
    if (!iniSection_.isEmpty())
        return iniSection_;
    const QString className = QLatin1StringView(form_->metaObject()->className());
    return className.mid(className.lastIndexOf(u':') + 1);
}

void TFormPlacement::Loaded()
{
    TComponent::Loaded();
    if (Designing())
        return;
    inCharge_ = true;
    lastNormal_ = WindowRectOf(form_);
    form_->installEventFilter(this);
    UpdateSizeLimits();
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != form_)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        // The program's own show, not the desktop's when it restores a minimized window.
        if (!event->spontaneous())
            FormShow();
        return false;
    case QEvent::Close:
        FormCloseQuery(static_cast<QCloseEvent&>(*event));
        return true;
    case QEvent::Move:
    case QEvent::Resize:
        if (InNormalState(form_))
            lastNormal_ = WindowRectOf(form_);
        return false;
    default:
        return false;
    }
}

void TFormPlacement::FormShow()
{
    if (active_)
        Guarded([this] { ReadFormSettings(); });
    UpdateSizeLimits();
}

// The form's own close handling comes first, and may refuse the close.
void TFormPlacement::FormCloseQuery(QCloseEvent& event)
{
    const QPointer<TFormPlacement> self(this);
    static_cast<QObject*>(form_)->event(&event);
    if (self && event.isAccepted() && active_)
        Guarded([this] { WriteFormSettings(); });
}

void TFormPlacement::FormDestroying()
{
    if (!inCharge_ || std::exchange(destroyHookRan_, true) || !active_ || sectionWritten_)
        return;
    writingOnDestroy_ = true;
    Guarded([this] { WriteFormSettings(); });
    writingOnDestroy_ = false;
}

void TFormPlacement::Guarded(const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& error) {
        if (Change(lastReported_, QString::fromUtf8(error.what())))
            // No owner: the form may be on its way out.
            messageBoxes_.ReportError(nullptr, error);
    }
}

void TFormPlacement::ReadFormSettings()
{
    sectionWritten_ = false;
    lastReported_.clear();
    FileScope scope(*this);
    if (FetchNumber(scope.File(), SectionName(), FormVersionKey, 0) >= version_) {
        ReadWindowPlacement();
        sectionRead_ = true;
        Raise(OnRestorePlacement, this);
        if (options_.testFlag(fpActiveControl))
            ReadActiveControl(scope.File(), SectionName());
    }
    sectionRead_ = true;
}

void TFormPlacement::WriteFormSettings()
{
    if (active_ && !sectionRead_)
        return;
    {
        FileScope scope(*this);
        StoreNumber(scope.File(), SectionName(), FormVersionKey, version_);
        WriteWindowPlacement();
        scope.File().UpdateFile();
    }
    sectionWritten_ = true;
    lastReported_.clear();
    Raise(OnSavePlacement, this);
}

QString TFormPlacement::ReadSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    if (iniFile_)
        return FetchText(*iniFile_, section, key, defaultValue);
    TIniFile file(profiles_, FileName());
    return FetchText(file, section, key, defaultValue);
}

void TFormPlacement::WriteSetting(const QString& section, const QString& key, const QString& value)
{
    if (iniFile_) {
        StoreText(*iniFile_, section, key, value);
        return;
    }
    TIniFile file(profiles_, FileName());
    StoreText(file, section, key, value);
}

void TFormPlacement::EraseSetting(const QString& section)
{
    if (iniFile_) {
        iniFile_->EraseSection(section);
        return;
    }
    TIniFile(profiles_, FileName()).EraseSection(section);
}

QRect TFormPlacement::NormalRect() const
{
    if (InNormalState(form_) || !lastNormal_)
        return WindowRectOf(form_);
    return *lastNormal_;
}

QString TFormPlacement::ScreenSuffixNow() const
{
    return ScreenSuffix(screens_.PrimarySize().width(), screens_.PrimarySize().height());
}

void TFormPlacement::WriteWindowPlacement()
{
    TCustomIniFile& file = OpenFile();
    const QString section = SectionName();
    const QString suffix = ScreenSuffixNow();
    const Qt::WindowStates state = form_->windowState();
    StoreNumber(file, section, FlagsKey, RestoresMaximized(state) ? kRestoreToMaximized : 0);
    StoreNumber(file, section, ShowCmdKey, ShowCmdOf(state));
    StoreNumber(file, section, PixelsPerInchKey, screens_.PixelsPerInch());
    StoreFourNumbers(file, section, MinMaxPosKey, suffix, kNoMinMaxPosition);
    StoreFourNumbers(file, section, NormPosKey, suffix, NormalPosition(file, section, suffix));
    if (options_.testFlag(fpActiveControl) && form_->focusWidget())
        file.WriteText(section, ActiveControlKey, form_->focusWidget()->objectName());
    file.WriteFlag(section, VisibleKey, writingOnDestroy_);
}

FourNumbers TFormPlacement::NormalPosition(TCustomIniFile& file, const QString& section, const QString& suffix) const
{
    const QRect normal = NormalRect();
    QPoint topLeft = normal.topLeft();
    // Where the windowing system placed the window, the program does not know where that is.
    if (FourNumbers stored{};
        !screens_.CanPlaceWindows() && FetchFourNumbers(file, section, NormPosKey, suffix, stored))
        topLeft = QPoint(stored[0], stored[1]);
    return FourNumbersOf(topLeft, normal.size());
}

void TFormPlacement::ReadWindowPlacement()
{
    if (!options_.testAnyFlags(fpPosition | fpState))
        return;
    TCustomIniFile& file = OpenFile();
    const QString section = SectionName();
    bool restoreMaximized = RestoresMaximized(form_->windowState());
    if (options_.testFlag(fpPosition)) {
        restoreMaximized =
            FetchNumber(file, section, FlagsKey, restoreMaximized ? kRestoreToMaximized : 0) & kRestoreToMaximized;
        ReadPosition(file, section);
    }
    if (options_.testFlag(fpState) && !ReadState(file, section, restoreMaximized))
        return;
    form_->update();
}

void TFormPlacement::ReadPosition(TCustomIniFile& file, const QString& section)
{
    const QString suffix = ScreenSuffixNow();
    const QRect present = NormalRect();
    // Minimized and maximized positions are the desktop's: the key only tells that a placement was stored.
    FourNumbers minMax{0, 0, 0, 0};
    const bool minMaxFound = FetchFourNumbers(file, section, MinMaxPosKey, suffix, minMax);
    FourNumbers normal = FourNumbersOf(present.topLeft(), present.size());
    const bool normalFound = FetchFourNumbers(file, section, NormPosKey, suffix, normal);
    const int32_t pixelsPerInch = screens_.PixelsPerInch();
    // At another density the stored pixels would give another size.
    if (!(minMaxFound || normalFound) || FetchNumber(file, section, PixelsPerInchKey, pixelsPerInch) != pixelsPerInch)
        return;
    if (!Sizeable(form_))
        normal = FourNumbersOf(QPoint(normal[0], normal[1]), present.size());
    const std::optional<QRect> stored = RectOf(normal);
    if (!stored)
        return;
    const QSize frame = FrameSize();
    const QRect placed = KeepOnScreens(QRect(stored->topLeft(), stored->size() + frame), screens_.WorkAreas());
    // Qt lets no one set where a minimized or maximized window returns to: it keeps its place, and the stored one is
    // what its next write gives back.
    if (!InNormalState(form_)) {
        lastNormal_ = QRect(placed.topLeft(), placed.size() - frame);
        return;
    }
    Place(placed);
}

QSize TFormPlacement::FrameSize() const
{
    // A window manager tells the frame only once the window is up; till then the design's frame stands in for it.
    const QSize frame = form_->frameGeometry().size() - form_->size();
    return frame.isNull() ? kDesignFrame : frame;
}

void TFormPlacement::Place(const QRect& framed)
{
    form_->resize(framed.size() - FrameSize());
    if (screens_.CanPlaceWindows()) {
        // Qt moves a window by its frame only once it knows the frame, and a window manager tells it only after the
        // window is up: before, the window's client area would go to the corner, and the frame above and left of it.
        form_->move(framed.topLeft());
        if (QWindow* window = form_->windowHandle())
            window->setFramePosition(framed.topLeft());
    }
    lastNormal_ = WindowRectOf(form_);
}

bool TFormPlacement::ReadState(TCustomIniFile& file, const QString& section, bool restoreMaximized)
{
    // Show commands 1, 5 and 9 are the normal state, as is any that names no state.
    Qt::WindowStates state = Qt::WindowNoState;
    switch (FetchNumber(file, section, ShowCmdKey, 0)) {
    case 2:
    case 6:
    case 7:
        state = Qt::WindowMinimized;
        break;
    case 3:
        state = Qt::WindowMaximized;
        break;
    default:
        break;
    }
    const Qt::WindowStates others = form_->windowState() & ~kMinMax;
    if (state == Qt::WindowMinimized && IsMainFormOrNone(form_)) {
        // Shown first, then minimized as a whole, as the user would.
        form_->setWindowState(others);
        QMetaObject::invokeMethod(
            form_, [form = form_] { form->showMinimized(); }, Qt::QueuedConnection);
        return false;
    }
    if (state == Qt::WindowMinimized && restoreMaximized)
        state |= Qt::WindowMaximized;
    form_->setWindowState(others | state);
    return true;
}

void TFormPlacement::ReadActiveControl(TCustomIniFile& file, const QString& section)
{
    const QString name = file.ReadText(section, ActiveControlKey, QString());
    auto* control = name.isEmpty() ? nullptr : qobject_cast<QWidget*>(FindComponent(form_, name));
    if (control && control->isEnabled() && control->focusPolicy() != Qt::NoFocus)
        control->setFocus();
}

void TFormPlacement::UpdateSizeLimits()
{
    if (Designing() || Loading())
        return;
    const bool needed = !minMaxInfo_->IsEmpty() || preventResize_;
    if (!needed && !ownLimits_)
        return;
    if (!ownLimits_)
        ownLimits_ = SizeLimits{form_->minimumSize(), form_->maximumSize()};
    SizeLimits limits = *ownLimits_;
    const TWinMinMaxInfo& info = *minMaxInfo_;
    // The track sizes are of the whole window; Qt limits its client area.
    const auto track = [](QSize& client, QSize whole) {
        if (whole.width())
            client.setWidth(std::max(whole.width() - kDesignFrame.width(), 0));
        if (whole.height())
            client.setHeight(std::max(whole.height() - kDesignFrame.height(), 0));
    };
    track(limits.minimum, info.MinTrackSize());
    track(limits.maximum, info.MaxTrackSize());
    if (preventResize_ && form_->isVisible())
        limits.minimum = limits.maximum = form_->size();
    form_->setMinimumSize(limits.minimum);
    form_->setMaximumSize(limits.maximum);
    if (!needed)
        ownLimits_.reset();
}

TFormPlacement* NewFormPlacement(QWidget* form, const char* name, const QString& section, QSize minimumSize,
                                 ProfileStore& profiles, const Screens& screens, MessageBoxes& messageBoxes)
{
    auto* placement = new TFormPlacement(form, profiles, screens, messageBoxes);
    placement->setObjectName(QLatin1String(name));
    placement->BeginLoading();
    placement->SetIniFileName(QStringLiteral("parlino.ini"));
    placement->SetIniSection(section);
    placement->MinMaxInfo()->SetMinTrackSize(minimumSize);
    placement->EndLoading();
    return placement;
}

} // namespace parlino
