#pragma once

#include "platform/qt/Platform.h"
#include "settings/Controls.h"
#include "settings/FormStorage.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <functional>

namespace parlino {

// The options dialog. Its controls are the one store of the options: other windows read them when
// they need an option, so a change applies at the next use. FormStorage1 fills them from the section "Optiuni"
// each time the dialog is shown, and OK writes them back; Cancel, Escape and the desktop's close leave the file
// alone.
class TOptiuniForm final : public QWidget
{
    Q_OBJECT

public:
    //: A description and its pattern after a bar; only the description is words.
    static constexpr auto kWavFilter = QT_TR_NOOP("Wav Files|*.wav");

    // Takes the screens, the profile store, the message boxes and the choosers from the services.
    explicit TOptiuniForm(const Platform& platform, QWidget* parent = nullptr);
    // Destroys FormStorage1 first, while the controls it stores are still there.
    ~TOptiuniForm() override;
    Q_DISABLE_COPY_MOVE(TOptiuniForm)

    QLabel* Label1;
    TEdit* EditTrimitere;
    QPushButton* ButAlegeFontT;
    TEdit* EditPrimire;
    QPushButton* ButAlegeFontP;
    TCheckBox* CheckMin;
    TCheckBox* CheckRefresh;
    TCheckBox* CheckWav;
    QLabel* Label2;
    TEdit* EditWav;
    QPushButton* ButBrowse;
    QPushButton* ButOk;
    QPushButton* ButCancel;
    TCheckBox* CheckFlash;
    TCheckBox* CheckTimp;
    TFormStorage* FormStorage1;

    // The main window's periodic refresh, which OK switches on or off as CheckRefresh says; the main window sets it.
    std::function<void(bool on)> SwitchRefreshTimer;

    void FormShow();
    // EditWav is enabled exactly while CheckWav is on: run at each activation and at each toggle of CheckWav, which
    // comes with the release of the mouse button or of Space (auto-repeated presses toggle nothing).
    void FormActivate();
    void ButAlegeFontTClick();
    void ButAlegeFontPClick();
    void ButBrowseClick();
    void ButOkClick();
    void ButCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    // The desktop's close counts as Cancel.
    void closeEvent(QCloseEvent* event) override;
    // Enter is OK, or the focused button; Escape is Cancel.
    void keyPressEvent(QKeyEvent* event) override;

private:
    template <typename T> T* Place(T* control, const char* name, int left, int top, int width, int height);
    TEdit* FontSample(const char* name, const QString& text, int color, int top);
    // What assistive technology calls a font sample, and how it tells apart the button that changes it.
    static void DescribeFontChoice(TEdit* sample, QPushButton* button, const QString& what);
    QPushButton* Button(const char* name, const QString& caption, int left, int top);
    TCheckBox* CheckBox(const char* name, const QString& caption, bool checked, QRect geometry);
    void CreateFormStorage(const Platform& platform);
    void ChooseFont(TEdit* sample);

    const Screens& screen_;
    FontChooser& fontChooser_;
    FileChooser& fileChooser_;
};

// Created hidden at start-up, right after the main window, and alive until the program ends. Only start-up
// uses the name: the windows that read options are handed the form.
extern TOptiuniForm* OptiuniForm;

} // namespace parlino
