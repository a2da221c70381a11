#pragma once

#include "platform/Component.h"
#include "settings/FourNumbers.h"
#include "settings/IniFile.h"

#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QCloseEvent;
class QWidget;

namespace parlino {

class MessageBoxes;
class ProfileStore;
class Screens;

// Size and position limits of a window; a limit left at 0 is the window's own.
class TWinMinMaxInfo final : public QObject
{
    Q_OBJECT
    // The size and place of a maximized window are kept with the others, but the desktop decides them.
    Q_PROPERTY(int MaxPosLeft MEMBER maxPosLeft_ NOTIFY Changed)
    Q_PROPERTY(int MaxPosTop MEMBER maxPosTop_ NOTIFY Changed)
    Q_PROPERTY(int MaxSizeHeight MEMBER maxSizeHeight_ NOTIFY Changed)
    Q_PROPERTY(int MaxSizeWidth MEMBER maxSizeWidth_ NOTIFY Changed)
    // The sizes between which the user can drag the window.
    Q_PROPERTY(int MaxTrackHeight MEMBER maxTrackHeight_ NOTIFY Changed)
    Q_PROPERTY(int MaxTrackWidth MEMBER maxTrackWidth_ NOTIFY Changed)
    Q_PROPERTY(int MinTrackHeight MEMBER minTrackHeight_ NOTIFY Changed)
    Q_PROPERTY(int MinTrackWidth MEMBER minTrackWidth_ NOTIFY Changed)

public:
    using QObject::QObject;

    QSize MinTrackSize() const { return {minTrackWidth_, minTrackHeight_}; }
    void SetMinTrackSize(QSize size);
    QSize MaxTrackSize() const { return {maxTrackWidth_, maxTrackHeight_}; }

    void Assign(const TWinMinMaxInfo& other);
    bool IsEmpty() const;

Q_SIGNALS:
    void Changed();

private:
    int maxPosLeft_ = 0;
    int maxPosTop_ = 0;
    int maxSizeHeight_ = 0;
    int maxSizeWidth_ = 0;
    int maxTrackHeight_ = 0;
    int maxTrackWidth_ = 0;
    int minTrackHeight_ = 0;
    int minTrackWidth_ = 0;
};

// Keeps a form's placement (normal rectangle, show state) in a section of a settings file and holds the form to its
// size limits. Owned by its form. Once loaded (EndLoading), it takes charge of the form: showing the form reads the
// section and applies it before the form's own show handling; a close that the form lets through writes the section;
// the destruction of the component is the form's destroy hook, which writes the section unless it was written since
// the last read. So the form destroys it first in its own destructor, while the window and its controls are whole.
// Errors of these automatic reads and writes are reported in an error box, each once, and the show, close or
// destruction goes on.
//
// A section is read with one parse of the file and written with one replacement of it: a write that fails leaves the
// whole file as it was.
//
// Positions are logical pixels: a window's normal rectangle is kept as the top left corner of its frame with the size
// of its client area. A stored rectangle, with the window's frame, is brought back onto a present screen before it is
// applied; where the windowing system places windows itself, only the size and state are applied and the stored
// position is written back as it was. Main thread only.
class TFormPlacement : public TComponent
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString IniFileName READ IniFileName WRITE SetIniFileName)
    Q_PROPERTY(QString IniSection READ IniSection WRITE SetIniSection)
    Q_PROPERTY(parlino::TWinMinMaxInfo* MinMaxInfo READ MinMaxInfo WRITE SetMinMaxInfo)
    Q_PROPERTY(TPlacementOptions Options READ Options WRITE SetOptions)
    Q_PROPERTY(bool PreventResize READ PreventResize WRITE SetPreventResize)
    Q_PROPERTY(int Version READ Version WRITE SetVersion)

public:
    enum TPlacementOption { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
    Q_DECLARE_FLAGS(TPlacementOptions, TPlacementOption)
    Q_FLAG(TPlacementOptions)

    // The objects referred to outlive the component.
    TFormPlacement(QWidget* form, ProfileStore& profiles, const Screens& screens, MessageBoxes& messageBoxes);
    ~TFormPlacement() override;
    Q_DISABLE_COPY_MOVE(TFormPlacement)

    // On: showing the form reads the section, closing or destroying it writes the section.
    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    // Empty: the program's file name with the extension ".INI".
    QString IniFileName() const { return iniFileName_; }
    void SetIniFileName(const QString& name) { iniFileName_ = name; }
    // Empty: the class name of the form.
    QString IniSection() const { return iniSection_; }
    void SetIniSection(const QString& section) { iniSection_ = section; }
    TWinMinMaxInfo* MinMaxInfo() const { return minMaxInfo_; }
    void SetMinMaxInfo(TWinMinMaxInfo* info);
    // What a read applies.
    TPlacementOptions Options() const { return options_; }
    void SetOptions(TPlacementOptions options) { options_ = options; }
    // Keeps the window at the size it is shown at.
    bool PreventResize() const { return preventResize_; }
    void SetPreventResize(bool prevent);
    // Written as "FormVersion"; a section of a smaller version is not applied.
    int Version() const { return version_; }
    void SetVersion(int version) { version_ = version; }

    // The names in effect.
    QString FileName() const;
    QString SectionName() const;

    // Writes the whole section now; raises EIniFileError when the file cannot be written. Does nothing while Active
    // is on and the section has never been read: a window that never read its section does not write it.
    void WriteFormSettings();
    // Reads the section and applies it.
    void ReadFormSettings();

    // One key of the component's file: through the open file of a whole-section read or write, or else through the
    // file opened for that one access.
    virtual QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue);
    virtual void WriteSetting(const QString& section, const QString& key, const QString& value);

    // Raised after each write of the section, and after each read that applied it.
    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

protected:
    // Opens the file for a whole-section read or write unless one is open already, and releases what it opened.
    class FileScope
    {
    public:
        explicit FileScope(TFormPlacement& owner);
        ~FileScope();
        Q_DISABLE_COPY_MOVE(FileScope)
        TMemIniFile& File() { return *owner_.iniFile_; }

    private:
        TFormPlacement& owner_;
        bool opened_;
    };

    virtual void WriteWindowPlacement();
    virtual void ReadWindowPlacement();

    void Loaded() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The destroy hook, run once by the destructor of the most derived class, so that its writes take part.
    void FormDestroying();

    QWidget* Form() const { return form_; }
    // The open file of a whole-section read or write.
    TMemIniFile& OpenFile() { return *iniFile_; }
    void EraseSetting(const QString& section);

private:
    struct SizeLimits
    {
        QSize minimum;
        QSize maximum;
    };

    void FormShow();
    void FormCloseQuery(QCloseEvent& event);
    void Guarded(const std::function<void()>& work);

    void ReadPosition(TCustomIniFile& file, const QString& section);
    // False when the form is to be minimized once it is shown: the rest of the read is then skipped.
    bool ReadState(TCustomIniFile& file, const QString& section, bool restoreMaximized);
    void ReadActiveControl(TCustomIniFile& file, const QString& section);
    // The frame's share of the window's size.
    QSize FrameSize() const;
    // Gives the window that frame's rectangle.
    void Place(const QRect& framed);
    FourNumbers NormalPosition(TCustomIniFile& file, const QString& section, const QString& suffix) const;
    // Where the window is in the normal state, or was last while it is minimized or maximized.
    QRect NormalRect() const;
    QString ScreenSuffixNow() const;
    // The window hook's part: the form's own size limits overridden by MinMaxInfo and PreventResize.
    void UpdateSizeLimits();

    QWidget* form_;
    ProfileStore& profiles_;
    const Screens& screens_;
    MessageBoxes& messageBoxes_;

    bool active_ = true;
    QString iniFileName_;
    QString iniSection_;
    TWinMinMaxInfo* minMaxInfo_;
    TPlacementOptions options_ = {fpState, fpPosition};
    bool preventResize_ = false;
    int version_ = 0;

    std::unique_ptr<TMemIniFile> iniFile_;
    bool sectionRead_ = false;
    bool sectionWritten_ = false;
    bool writingOnDestroy_ = false;
    bool inCharge_ = false;
    bool destroyHookRan_ = false;
    std::optional<SizeLimits> ownLimits_;
    // Seen while in charge of the form: Qt's own record of it does not tell where the frame was.
    std::optional<QRect> lastNormal_;
    // Until the next read or successful write, the same error is not shown again.
    QString lastReported_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFormPlacement::TPlacementOptions)

// The placement component of a window, named as its component: kept in a section of "parlino.ini", and holding the
// window, frame included, to a smallest size. The window destroys it first in its own destructor.
TFormPlacement* NewFormPlacement(QWidget* form, const char* name, const QString& section, QSize minimumSize,
                                 ProfileStore& profiles, const Screens& screens, MessageBoxes& messageBoxes);

} // namespace parlino
